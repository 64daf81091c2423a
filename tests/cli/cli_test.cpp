// zento-cli as a user runs it, in a scratch directory: the contract's cases, hostile files held
// to the references, JAGS's files and every kind of --salida.
#include "cli/cliargs.h"

#include "common/process.h"
#include "common/reference.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zento {
namespace {

namespace fs = std::filesystem;
using testing::Needs;
using testing::ReadFile;
using testing::Unsupported;
using testing::Utf8Path;

const std::string kExample = "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n";
const std::string kAll = "y[]\tx1[]\tx2[]\t\r\n1\t0.5\t2\t\r\n0\t1.5\t3\t\r\nEND\r\n";

std::string Data(const std::string& name) {
    return ReadFile(std::string(ZENTO_TEST_DATA_DIR) + "/" + name);
}

struct Outcome {
    int exitCode = -1;
    std::string out, err;
};

// A line of tests/data/cli/contrato.txt, whose first lines say how to read it.
struct Case {
    std::vector<std::string> args;
    int exitCode = 0;
    std::string text;
    std::string warning = {};
};

std::vector<Case> ContractCases() {
    std::vector<Case> cases;
    std::istringstream in(Data("cli/contrato.txt"));
    for (std::string line; std::getline(in, line);) {
        // The null device has another name on Windows.
        for (const auto& [escape, byte] : {std::pair{"\\t", "\t"},
                                           {"\\r", "\r"},
                                           {"\\n", "\n"},
                                           {"/dev/null", testing::kNullDevice}})
            for (std::size_t at = 0; (at = line.find(escape, at)) != std::string::npos; ++at)
                line.replace(at, std::string_view(escape).size(), byte);
        std::vector<std::string> fields;
        for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 3)
            fields.push_back(line.substr(start, (end = line.find(" | ", start)) - start));
        if (line.starts_with('#') || fields.size() < 3)
            continue;
        Case c{{}, std::stoi(fields[1]), fields[2], fields.size() > 3 ? fields[3] : ""};
        std::istringstream args(fields[0]);
        for (std::string arg; args >> arg;)
            c.args.push_back(arg);
        cases.push_back(c);
    }
    return cases;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("d.txt", kExample);
        dir.Write("vacio.txt", "");
        fs::create_directory(dir.path() / "carpeta");
    }

    // In the scratch directory; stdout goes to redirect (in that directory) when one is given,
    // and the files written may be limited in size. A hang fails.
    Outcome Run(const std::vector<std::string>& args, const std::string& redirect = "",
                std::optional<std::uint64_t> fileSizeLimit = {}) {
        // Outside the scratch directory and never removed: Windows may still be closing the
        // last run's handles on them, and a removed file then stays in the way for a while.
        const fs::path out = streams.path() / "out", err = streams.path() / "err";
        const int status = testing::RunProgram({ZENTO_CLI_PATH, args, dir.path(),
                                                redirect.empty() ? out : dir.path() / redirect, err,
                                                fileSizeLimit});
        return {status, redirect.empty() ? ReadFile(out.string()) : "", ReadFile(err.string())};
    }

    std::vector<std::string> Listing(const std::string& sub = "") {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path() / Utf8Path(sub)))
            names.push_back(testing::Utf8String(entry.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }

    // Text on stdout only on success, one message line and nothing on stdout otherwise. datos
    // and modelo run again into an existing --salida, which gets the same text or stays as it
    // was, with nothing left behind.
    void Expect(const Case& c) {
        std::string label;
        for (const std::string& arg : c.args)
            label += arg.substr(0, 40) + " ";
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(c.exitCode, outcome.exitCode) << label << outcome.err;
        const bool golden = c.text.starts_with('@');
        const std::string text = golden ? Data(c.text.substr(1)) : c.text;
        if (c.exitCode == 0 || golden) {
            EXPECT_FALSE(text.empty()) << label;
            EXPECT_TRUE(text == outcome.out) << label << outcome.out.substr(0, 200);
            EXPECT_EQ(c.warning.empty() ? "" : "zento-cli: " + c.warning + "\n", outcome.err)
                << label;
        } else if (c.exitCode == 1) {
            EXPECT_EQ("", outcome.out) << label;
            EXPECT_EQ("zento-cli: " + c.text + "\n", outcome.err) << label;
        } else {
            EXPECT_EQ("", outcome.out) << label;
            EXPECT_TRUE(outcome.err.starts_with("zento-cli: ") &&
                        outcome.err.find(c.text) != std::string::npos &&
                        outcome.err.ends_with(cli::UsageSummary()))
                << label << outcome.err;
        }
        if (c.exitCode == 2 || (c.args[0] != "datos" && c.args[0] != "modelo") ||
            std::find(c.args.begin(), c.args.end(), "--salida") != c.args.end())
            return;
        const std::string before = "anterior\r\n";
        dir.Write("salida.txt", before);
        const std::vector<std::string> files = Listing();
        std::vector<std::string> args = c.args;
        args.insert(args.begin() + 1, {"--salida", "salida.txt"});
        const Outcome toFile = Run(args);
        EXPECT_EQ(c.exitCode, toFile.exitCode) << label << "--salida";
        EXPECT_EQ(outcome.err, toFile.err) << label << "--salida";
        EXPECT_EQ("", toFile.out);
        EXPECT_TRUE((c.exitCode == 0 ? text : before) == ReadFile(dir.File("salida.txt")))
            << label << "--salida";
        EXPECT_EQ(files, Listing()) << label << "left something behind";
    }

    testing::TempDir dir, streams;
};

TEST_F(CliTest, TheContract) {
    std::error_code sparse;
    fs::resize_file(dir.Write("disperso.txt", "y\tx\n1\t2\n0\t3\n"), std::uintmax_t{1} << 40,
                    sparse);
    dir.Write("tab.txt", "y\tx\t\n1 2 3\n4 5 6\n7\n");
    dir.Write("corto.txt", "y\tx1\tx2\n1 0.5 2\n0 1.5\n");
    dir.Write("uno.txt", "y\n");
    for (const char* example : {"vaso.txt", "birthwt.txt", "beetles.txt"})
        dir.Write(example, ReadFile(std::string(ZENTO_EXAMPLES_DIR) + "/" + example));
    for (const auto& entry :
         fs::directory_iterator(std::string(ZENTO_TEST_DATA_DIR) + "/verificar"))
        if (entry.path().extension() == ".txt")
            dir.Write(entry.path().filename().string(), ReadFile(entry.path().string()));
    // A fitted folder, and the same with a value in the second chain that is not a number.
    const fs::path fitted = fs::path(ZENTO_TEST_DATA_DIR) / "cli" / "ajuste";
    for (const char* copy : {"ajuste", "rota"})
        fs::copy(fitted, dir.path() / copy);
    std::string chain = ReadFile((fitted / "CODAchain2.txt").string());
    const std::size_t third = chain.find('\n', chain.find('\n') + 1) + 1;
    chain.replace(chain.find("  ", third) + 2,
                  chain.find('\n', third) - chain.find("  ", third) - 2, "1,5");
    dir.Write("rota/CODAchain2.txt", chain);
    std::vector<Case> cases = ContractCases();
    ASSERT_GT(cases.size(), 150u);
    // Where the system has no named pipes (Windows), the cases on one are left out.
    const testing::NamedPipe pipe(dir.path() / "tubo");
    std::erase_if(cases, [&pipe](const Case& c) {
        return !pipe.ok() && std::find(c.args.begin(), c.args.end(), "tubo") != c.args.end();
    });
    // Pseudo-random bytes, NUL bytes, an 8 MiB name, a header of 120000 names, and names in
    // UTF-8, in Latin-1 and with every byte from 0x80 to 0xFF: every byte of the text, and so K
    // and N, as the reference has them.
    std::string binary(64 << 10, '\0'), header, row, other, high;
    std::uint32_t state = 12345;
    for (char& c : binary)
        c = static_cast<char>((state = state * 1103515245u + 12345u) >> 23);
    for (int i = 0; i < 120000; ++i) {
        header += (i ? "\tv" : "v") + std::to_string(i);
        row += "1 ";
        other += "0 ";
    }
    for (int c = 0x80; c <= 0xFF; ++c)
        high += static_cast<char>(c);
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"binario.bin", binary},
             {"ceros.txt", std::string("y\0a\tx\n1\t\0\n0\t\0\0\n", 15)},
             {"gigante.txt", "y\t" + std::string(8 << 20, 'g') + "\n1\t2\n0\t3\n"},
             {"ancho.txt", header + "\n" + row + "\n" + other + "\n"},
             {"utf8.txt", "a\xc3\xb1o\tpe\xc3\xb1"
                          "a\tx\xe2\x82\xac\n1\t2\t3\n0\t4\t5\n"},
             {"latin1.txt", "a\xf1o\tpe\xf1"
                            "a\tx\x80\n1\t2\t3\n0\t4\t5\n"},
             {"altos.txt", "y\t" + high + "\tz\n1\t2\t3\n0\t4\t5\n"}}) {
        dir.Write(name, bytes);
        const auto tokens = testing::ReferenceTokens(bytes);
        const auto k = static_cast<std::int32_t>(testing::ReferenceFirstLineTabs(bytes) + 1);
        const auto n = static_cast<std::int32_t>(tokens.size() / k - 1);
        cases.push_back({{"datos", name}, 0, *testing::ReferenceRectangular(tokens, k, k, n)});
    }
    // Refused after more than a block of text: none of it reaches stdout.
    cases.push_back({{"datos", "gigante.txt", "--casos", "3"},
                     1,
                     "El archivo \"gigante.txt\" tiene 2 casos completos de 2 variables; se "
                     "pidieron 3 casos."});
    for (const Case& c : cases)
        Expect(c);
    EXPECT_FALSE(fs::exists(dir.path() / "j"));
}

TEST_F(CliTest, JagsWritesEveryFileOrLeavesTheDirectoryAsItWas) {
    dir.Write("t.txt", "y\tx1\tx2\n1\t0.5\t10\n0\t1.5\t20\n1\t7\t0\nNA\t2\t1E1\n1\t3\t4\n0\t4\t5\n"
                       "1\t5\t6\n0\t6\t7\n1\t7\t8\n0\t8\t9\n1\t9\t10\n0\t10\t11\n");
    const std::string golden = std::string(ZENTO_TEST_DATA_DIR) + "/jags/";
    const auto expectGolden = [&](const std::string& link, const std::string& chains) {
        const Outcome outcome =
            Run({"jags", link, "t.txt", "--cadenas=" + chains, "--calentamiento", "50",
                 "--iteraciones", "70", "--directorio", "nuevo/" + link});
        std::vector<std::string> expected;
        std::string written = "modelo.bug, datos.R";
        for (const auto& entry : fs::directory_iterator(golden + link))
            expected.push_back(entry.path().filename().string());
        std::sort(expected.begin(), expected.end());
        for (const std::string& name : expected)
            written += name.starts_with("inits") ? ", " + name : "";
        EXPECT_EQ("Escritos en \"nuevo/" + link + "\": " + written +
                      ", ejecutar.cmd.\nPara ajustar el modelo: cd \"nuevo/" + link +
                      "\" && jags ejecutar.cmd\n",
                  outcome.out)
            << outcome.err;
        ASSERT_EQ(expected, Listing("nuevo/" + link));
        for (const std::string& name : expected)
            EXPECT_EQ(ReadFile(golden + link + "/" + name),
                      ReadFile(dir.File("nuevo/" + link + "/" + name)))
                << link << "/" << name;
    };
    expectGolden("logit", "2");
    expectGolden("cds", "1");
    EXPECT_EQ(0,
              Run({"jags", "logit", "t.txt", "--calentamiento", "2147483647", "--directorio", "j"})
                  .exitCode);
    EXPECT_NE(std::string::npos,
              ReadFile(dir.File("j/ejecutar.cmd")).find("update 2147483647\r\n"));

    // A refusal leaves an existing directory as it was (the contract checks that a missing one
    // is not made).
    const std::string kept = dir.Write("nuevo/logit/modelo.bug", "anterior");
    EXPECT_EQ(
        1,
        Run({"jags", "logit", "t.txt", "--casos", "13", "--directorio", "nuevo/logit"}).exitCode);
    EXPECT_EQ("anterior", ReadFile(kept));
    // Written again over the old files, nothing else is left behind.
    expectGolden("logit", "2");
}

TEST_F(CliTest, SalidaIsReplacedWholeOrNewWithExactlyTheText) {
    // A new file gets the room the text may take, and then exactly the text.
    EXPECT_EQ(0, Run({"datos", "d.txt", "--variables", "1", "--salida", "nuevo.txt"}).exitCode);
    EXPECT_EQ("y[]\t\r\n1\t\r\n0\t\r\nEND\r\n", ReadFile(dir.File("nuevo.txt")));
    // The data file itself as the target: read completely before it is replaced.
    EXPECT_EQ(0, Run({"datos", "d.txt", "--variables", "1", "--salida", "d.txt"}).exitCode);
    EXPECT_EQ("y[]\t\r\n1\t\r\n0\t\r\nEND\r\n", ReadFile(dir.File("d.txt")));
    EXPECT_EQ((std::vector<std::string>{"carpeta", "d.txt", "nuevo.txt", "vacio.txt"}), Listing());
}

TEST_F(CliTest, SalidaFollowsLinks) {
    if (const char* why = Unsupported(Needs::SymbolicLinks))
        GTEST_SKIP() << why;
    fs::create_symlink("real.txt", dir.path() / "enlace.txt");
    dir.Write("real.txt", "antes");
    EXPECT_EQ(0, Run({"datos", "d.txt", "--salida=enlace.txt"}).exitCode);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "enlace.txt"));
    EXPECT_EQ(kAll, ReadFile(dir.File("real.txt")));
}

// A pipe is written in place, and a refusal known before writing sends nothing to it.
TEST_F(CliTest, SalidaIntoAPipeGetsTheWholeTextOrNothing) {
    if (const char* why = Unsupported(Needs::NamedPipes))
        GTEST_SKIP() << why;
    testing::NamedPipe pipe(dir.path() / "tubo");
    ASSERT_TRUE(pipe.ok());
    for (const auto& [args, expected] : std::vector<std::pair<std::string, std::string>>{
             {"datos d.txt", kAll},
             {"datos d.txt --casos 2", kAll},
             {"modelo logit d.txt --casos 100", Data("winbugs/logit_y_x1_x2_k3_n100.txt")},
             {"datos d.txt --casos 3", ""},
             {"datos d.txt --variables 5", ""},
             {"modelo probit d.txt --variables 10", ""}}) {
        std::vector<std::string> toPipe = {"--salida", "tubo"};
        std::istringstream words(args);
        for (std::string word; words >> word;)
            toPipe.push_back(word);
        EXPECT_EQ(expected.empty() ? 1 : 0, Run(toPipe).exitCode) << args;
        EXPECT_EQ(expected, pipe.Drain()) << args;
        EXPECT_TRUE(fs::is_fifo(dir.path() / "tubo")) << "the pipe was replaced";
    }
}

// Folders and files named in any script, as users name them: read, written through --salida and
// --directorio, and named back in messages, exactly.
TEST_F(CliTest, NamesInAnyScriptAreReadWrittenAndToldExactly) {
    const std::string input = "datos/Año 2026/ñandú.txt", output = "Müller/α β.txt";
    fs::create_directories(dir.path() / Utf8Path("datos/Año 2026"));
    fs::create_directory(dir.path() / Utf8Path("Müller"));
    dir.Write(input, kExample);
    Expect({{"escanear", input}, 0, "Variables (K): 3\nCasos (N): 2\n"});
    EXPECT_EQ(0, Run({"datos", input, "--salida", output}).exitCode);
    EXPECT_EQ(kAll, ReadFile(dir.File(output)));
    EXPECT_EQ(0, Run({"modelo", "logit", input, "--casos", "100", "--salida", output}).exitCode);
    EXPECT_EQ(Data("winbugs/logit_y_x1_x2_k3_n100.txt"), ReadFile(dir.File(output)));
    const Outcome jags = Run({"jags", "logit", input, "--directorio", "Müller/jags ñ"});
    EXPECT_EQ(0, jags.exitCode) << jags.err;
    EXPECT_TRUE(jags.out.starts_with("Escritos en \"Müller/jags ñ\": modelo.bug,")) << jags.out;
    EXPECT_FALSE(ReadFile(dir.File("Müller/jags ñ/datos.R")).empty());
    EXPECT_EQ((std::vector<std::string>{"jags ñ", "α β.txt"}), Listing("Müller"));
    Expect({{"verificar", "Müller/falta é.txt"},
            1,
            "No se puede leer el archivo \"Müller/falta é.txt\": no existe."});
}

// A target that another program holds open is replaced whole where the system lets it be; on
// Windows it is left whole, with the reason. No temporary file is left either way.
TEST_F(CliTest, SalidaHeldOpenElsewhereIsReplacedWholeOrLeftWhole) {
    dir.Write("salida.txt", "anterior");
    const std::ifstream reader(dir.path() / "salida.txt", std::ios::binary);
    ASSERT_TRUE(reader.is_open());
    const Outcome outcome = Run({"datos", "d.txt", "--salida", "salida.txt"});
    if (Unsupported(Needs::ReplacingOpenFiles)) {
        EXPECT_EQ("zento-cli: No se puede escribir el archivo \"salida.txt\": el archivo está en "
                  "uso.\n",
                  outcome.err);
        EXPECT_EQ("anterior", ReadFile(dir.File("salida.txt")));
    } else {
        EXPECT_EQ(0, outcome.exitCode) << outcome.err;
        EXPECT_EQ(kAll, ReadFile(dir.File("salida.txt")));
    }
    EXPECT_EQ((std::vector<std::string>{"carpeta", "d.txt", "salida.txt", "vacio.txt"}), Listing());
}

// A write that fails half way: the old file stays, no temporary is left, and a folder made for
// the JAGS files goes again.
TEST_F(CliTest, AFullDiskOrAFileSizeLimitLeavesEveryFileAsItWas) {
    for (const Needs need : {Needs::DeviceFiles, Needs::FileSizeLimit})
        if (const char* why = Unsupported(need))
            GTEST_SKIP() << why;
    EXPECT_EQ("zento-cli: No se puede escribir en la salida estándar: no queda espacio en el "
              "disco.\n",
              Run({"datos", "d.txt"}, "/dev/full").err);

    // 400 KiB of text against a limit of 64 KiB.
    std::string big = "y\tx\n";
    while (big.size() < (400 << 10))
        big += "1\t0.123456789\n";
    dir.Write("grande.txt", big);
    dir.Write("salida.txt", "anterior");
    const std::uint64_t limit = 64 << 10;
    EXPECT_EQ("zento-cli: No se puede escribir el archivo \"salida.txt\": el archivo es demasiado "
              "grande.\n",
              Run({"datos", "grande.txt", "--salida", "salida.txt"}, "", limit).err);
    EXPECT_EQ("anterior", ReadFile(dir.File("salida.txt")));
    EXPECT_EQ("zento-cli: No se puede escribir en la salida estándar: el archivo es demasiado "
              "grande.\n",
              Run({"datos", "grande.txt"}, "stdout.txt", limit).err);
    EXPECT_EQ("zento-cli: No se puede escribir el archivo \"lleno/datos.R\": el archivo es "
              "demasiado grande.\n",
              Run({"jags", "logit", std::string(ZENTO_EXAMPLES_DIR) + "/birthwt.txt",
                   "--directorio", "lleno"},
                  "", 1024)
                  .err);
    EXPECT_EQ((std::vector<std::string>{"carpeta", "d.txt", "grande.txt", "salida.txt",
                                        "stdout.txt", "vacio.txt"}),
              Listing());
}

} // namespace
} // namespace zento
