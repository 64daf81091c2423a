// zento-cli as a user runs it, in a scratch directory: exit codes, exact output, one-line
// messages, --salida replaced whole or left as it was, and nothing left behind.
#include "cli/cliargs.h"
#include "winbugs/models.h"

#include "common/process.h"
#include "common/reference.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace zento {
namespace {

namespace fs = std::filesystem;
using testing::Needs;
using testing::ReadFile;
using testing::Unsupported;

const std::string kExample = "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n";
const std::string kAll = "y[]\tx1[]\tx2[]\t\r\n1\t0.5\t2\t\r\n0\t1.5\t3\t\r\nEND\r\n";
const std::string kMin = "-2147483648", kMax = "2147483647";

std::string Model(Link link, ModelNames names, std::int32_t k, std::int32_t n) {
    DataSelection selection;
    selection.chosenVariables = k;
    selection.chosenCases = n;
    return GetLinkInfo(link).build(names, selection);
}

struct Outcome {
    int exitCode = -1;
    std::string out, err;
};

struct Case {
    std::vector<std::string> args;
    int exitCode;
    // exit 0: stdout; 1: the message; 2: a piece of the usage error; @FILE: stdout as
    // tests/data/FILE holds it, whatever the exit code
    std::string text;
    std::string warning = {}; // exit 0: the advice on stderr, without "zento-cli: "
};

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
        const fs::path out = dir.path() / ".out", err = dir.path() / ".err";
        const int status =
            testing::RunProgram({ZENTO_CLI_PATH, args, dir.path(),
                                 redirect.empty() ? out : dir.path() / testing::Utf8Path(redirect),
                                 err, fileSizeLimit});
        Outcome outcome{status, ReadFile(out.string()), ReadFile(err.string())};
        fs::remove(out);
        fs::remove(err);
        return outcome;
    }

    // Every command that reads a data file refuses path at once with message.
    void ExpectRefusedByEveryCommand(const std::string& path, const std::string& message) {
        for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
                 {"escanear"},
                 {"datos"},
                 {"datos", "--variables", "1", "--casos", "1"},
                 {"modelo", "bbb"},
                 {"modelo", "logit", "--variables", "1", "--casos", "1"},
                 {"verificar"},
                 {"jags", "logit", "--directorio", "j"}}) {
            args.push_back(path);
            Expect({args, 1, message});
        }
        EXPECT_FALSE(fs::exists(dir.path() / "j"));
    }

    std::vector<std::string> Listing(const std::string& sub = "") {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path() / testing::Utf8Path(sub)))
            names.push_back(testing::Utf8String(entry.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }

    // Text on stdout only on success, one message line and nothing on stdout otherwise. datos
    // and modelo run again into an existing --salida, which gets the same text or stays as it
    // was.
    void Expect(const Case& c) {
        std::string label;
        for (const std::string& arg : c.args)
            label += arg.substr(0, 40) + " ";
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(c.exitCode, outcome.exitCode) << label << outcome.err;
        const bool report = c.text.starts_with('@');
        const std::string text =
            report ? ReadFile(std::string(ZENTO_TEST_DATA_DIR) + "/" + c.text.substr(1)) : c.text;
        if (c.exitCode == 0 || report) {
            EXPECT_FALSE(text.empty()) << label;
            EXPECT_TRUE(text == outcome.out) << label << outcome.out.substr(0, 200);
            EXPECT_EQ(c.warning.empty() ? "" : "zento-cli: " + c.warning + "\n", outcome.err)
                << label;
        } else {
            EXPECT_EQ("", outcome.out) << label;
            if (c.exitCode == 1)
                EXPECT_EQ("zento-cli: " + c.text + "\n", outcome.err) << label;
            else
                EXPECT_TRUE(outcome.err.starts_with("zento-cli: ") &&
                            outcome.err.find(c.text) != std::string::npos &&
                            outcome.err.ends_with(cli::UsageSummary()))
                    << label << outcome.err;
        }
        if (c.exitCode == 2 || (c.args[0] != "datos" && c.args[0] != "modelo"))
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

    testing::TempDir dir;
};

// The cases of tests/data/cli/contrato.txt (its first lines say how to read them).
std::vector<Case> ContractCases() {
    std::vector<Case> cases;
    std::istringstream in(ReadFile(std::string(ZENTO_TEST_DATA_DIR) + "/cli/contrato.txt"));
    for (std::string line; std::getline(in, line);) {
        const std::size_t code = line.find(" | "), text = line.find(" | ", code + 3);
        if (line.starts_with('#') || text == std::string::npos)
            continue;
        const std::size_t warning = line.find(" | ", text + 3);
        Case c;
        std::istringstream args(line.substr(0, code));
        for (std::string arg; args >> arg;)
            c.args.push_back(arg);
        c.exitCode = std::stoi(line.substr(code + 3));
        const auto unescape = [&line](std::size_t from, std::size_t to) {
            std::string field;
            for (std::size_t i = from; i < std::min(to, line.size()); ++i) {
                const std::size_t escape = i + 1 < line.size() && line[i] == '\\'
                                               ? std::string_view("trn").find(line[i + 1])
                                               : std::string_view::npos;
                field += escape == std::string_view::npos ? line[i] : "\t\r\n"[escape];
                i += escape != std::string_view::npos;
            }
            return field;
        };
        c.text = unescape(text + 3, warning);
        if (warning != std::string::npos)
            c.warning = unescape(warning + 3, line.size());
        cases.push_back(c);
    }
    return cases;
}

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
    std::vector<Case> cases = ContractCases();
    ASSERT_GT(cases.size(), 50u);
    cases.push_back({{"--help"}, 0, std::string(cli::HelpText())});
    cases.push_back({{"modelo", "standard", "d.txt", "--variables", kMin, "--casos", kMax},
                     0,
                     Model(Link::SkewProbitStandard, {"y", {}}, INT32_MIN, INT32_MAX),
                     "aviso: el modelo declara 2147483647 casos y \"d.txt\" tiene 2 casos "
                     "completos de 3 variables."});
    // Pseudo-random bytes, NUL bytes, an 8 MiB name, a header of 120000 names, and names in
    // UTF-8, in Latin-1 and with every byte from 0x80 to 0xFF.
    std::string binary(64 << 10, '\0');
    std::uint32_t state = 12345;
    for (char& c : binary)
        c = static_cast<char>((state = state * 1103515245u + 12345u) >> 23);
    const std::string giant(8 << 20, 'g');
    std::string header, row, other, high;
    for (int i = 0; i < 120000; ++i) {
        header += (i ? "\tv" : "v") + std::to_string(i);
        row += "1 ";
        other += "0 ";
    }
    for (int c = 0x80; c <= 0xFF; ++c)
        high += static_cast<char>(c);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"binario.bin", binary},
        {"ceros.txt", std::string("y\0a\tx\n1\t\0\n0\t\0\0\n", 15)},
        {"gigante.txt", "y\t" + giant + "\n1\t2\n0\t3\n"},
        {"ancho.txt", header + "\n" + row + "\n" + other + "\n"},
        {"utf8.txt", "a\xc3\xb1o\tpe\xc3\xb1"
                     "a\tx\xe2\x82\xac\n1\t2\t3\n0\t4\t5\n"},
        {"latin1.txt", "a\xf1o\tpe\xf1"
                       "a\tx\x80\n1\t2\t3\n0\t4\t5\n"},
        {"altos.txt", "y\t" + high + "\tz\n1\t2\t3\n0\t4\t5\n"},
    };
    // Refused after more than a block of text: none of it reaches stdout.
    cases.push_back(
        {{"datos", "gigante.txt", "--casos", "3"},
         1,
         "El archivo \"gigante.txt\" tiene 2 casos completos de 2 variables; se pidieron 3 "
         "casos."});
    for (const auto& [name, bytes] : files) {
        dir.Write(name, bytes);
        const auto tokens = testing::ReferenceTokens(bytes);
        const auto k = static_cast<std::int32_t>(testing::ReferenceFirstLineTabs(bytes) + 1);
        const auto n = static_cast<std::int32_t>(tokens.size() / k - 1);
        const ModelNames names{std::string(tokens[0]), {std::string(tokens[1])}};
        cases.push_back(
            {{"escanear", name},
             0,
             "Variables (K): " + std::to_string(k) + "\nCasos (N): " + std::to_string(n) + "\n"});
        cases.push_back({{"datos", name}, 0, *testing::ReferenceRectangular(tokens, k, k, n)});
        cases.push_back({{"modelo", "powerlogit", name, "--variables", "2"},
                         0,
                         Model(Link::PowerLogit, names, 2, n)});
    }
    for (const Case& c : cases)
        Expect(c);
    EXPECT_FALSE(fs::exists(dir.path() / "j"));
}

TEST_F(CliTest, AFolderOrAMissingFileIsNoDataFile) {
    ExpectRefusedByEveryCommand("carpeta",
                                "\"carpeta\" no es un archivo de datos: es una carpeta.");
    ExpectRefusedByEveryCommand("falta.txt",
                                "No se puede leer el archivo \"falta.txt\": no existe.");
}

// Refused without waiting for a writer.
TEST_F(CliTest, APipeIsNoDataFile) {
    if (const char* why = Unsupported(Needs::NamedPipes))
        GTEST_SKIP() << why;
    const testing::NamedPipe pipe(dir.path() / "tubo");
    ASSERT_TRUE(pipe.ok());
    ExpectRefusedByEveryCommand("tubo",
                                "\"tubo\" no es un archivo de datos: no es un archivo normal.");
}

TEST_F(CliTest, ADeviceIsNoDataFile) {
    if (const char* why = Unsupported(Needs::DeviceFiles))
        GTEST_SKIP() << why;
    ExpectRefusedByEveryCommand(
        "/dev/null", "\"/dev/null\" no es un archivo de datos: no es un archivo normal.");
}

TEST_F(CliTest, JagsWritesEveryFileOrLeavesTheDirectoryAsItWas) {
    dir.Write("t.txt", "y\tx1\tx2\n1\t0.5\t10\n0\t1.5\t20\n1\t7\t0\nNA\t2\t1E1\n1\t3\t4\n0\t4\t5\n"
                       "1\t5\t6\n0\t6\t7\n1\t7\t8\n0\t8\t9\n1\t9\t10\n0\t10\t11\n");
    const std::string golden = std::string(ZENTO_TEST_DATA_DIR) + "/jags/";
    const auto expectGolden = [&](const std::string& link, const std::string& chains,
                                  const std::string& written) {
        const Outcome outcome =
            Run({"jags", link, "t.txt", "--cadenas=" + chains, "--calentamiento", "50",
                 "--iteraciones", "70", "--directorio", "nuevo/" + link});
        EXPECT_EQ(0, outcome.exitCode) << outcome.err;
        EXPECT_EQ("Escritos en \"nuevo/" + link + "\": " + written +
                      ".\nPara ajustar el modelo: cd \"nuevo/" + link + "\" && jags ejecutar.cmd\n",
                  outcome.out);
        std::vector<std::string> expected;
        for (const auto& entry : fs::directory_iterator(golden + link))
            expected.push_back(entry.path().filename().string());
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(expected, Listing("nuevo/" + link));
        for (const std::string& name : expected)
            EXPECT_EQ(ReadFile(golden + link + "/" + name),
                      ReadFile(dir.File("nuevo/" + link + "/" + name)))
                << link << "/" << name;
    };
    expectGolden("logit", "2", "modelo.bug, datos.R, inits1.R, inits2.R, ejecutar.cmd");
    expectGolden("cds", "1", "modelo.bug, datos.R, inits1.R, ejecutar.cmd");
    EXPECT_EQ(
        0, Run({"jags", "logit", "t.txt", "--calentamiento", kMax, "--directorio", "j"}).exitCode);
    EXPECT_NE(std::string::npos,
              ReadFile(dir.File("j/ejecutar.cmd")).find("update 2147483647\r\n"));

    // Refusals: a missing directory is not created, an existing one keeps what it held.
    const std::string kept = dir.Write("nuevo/logit/modelo.bug", "anterior");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"t.txt", "--casos", "13", "--directorio", "nuevo/logit"},
             {"t.txt", "--variables", "40", "--casos", "1", "--directorio", "nuevo/logit"},
             {"falta.txt", "--directorio", "nuevo/logit"},
             {"t.txt", "--casos", "13", "--directorio", "otro"}}) {
        std::vector<std::string> all = {"jags", "logit"};
        all.insert(all.end(), args.begin(), args.end());
        EXPECT_EQ(1, Run(all).exitCode) << args[0];
    }
    EXPECT_EQ("anterior", ReadFile(kept));
    EXPECT_FALSE(fs::exists(dir.path() / "otro"));
    // Written again over the old files, nothing else is left behind.
    expectGolden("logit", "2", "modelo.bug, datos.R, inits1.R, inits2.R, ejecutar.cmd");
}

// Folders and files named in any script, as users name them: read, written through --salida and
// --directorio, and named back in messages, exactly.
TEST_F(CliTest, NamesInAnyScriptAreReadWrittenAndToldExactly) {
    using testing::Utf8Path;
    const std::string input = "datos/Año 2026/ñandú.txt", output = "Müller/α β.txt";
    fs::create_directories(dir.path() / Utf8Path("datos/Año 2026"));
    fs::create_directory(dir.path() / Utf8Path("Müller"));
    dir.Write(input, kExample);
    Expect({{"escanear", input}, 0, "Variables (K): 3\nCasos (N): 2\n"});
    EXPECT_EQ(0, Run({"datos", input, "--salida", output}).exitCode);
    EXPECT_EQ(kAll, ReadFile(dir.File(output)));
    EXPECT_EQ(0, Run({"modelo", "logit", input, "--casos", "100", "--salida", output}).exitCode);
    EXPECT_EQ(ReadFile(std::string(ZENTO_TEST_DATA_DIR) + "/winbugs/logit_y_x1_x2_k3_n100.txt"),
              ReadFile(dir.File(output)));
    const Outcome jags = Run({"jags", "logit", input, "--directorio", "Müller/jags ñ"});
    EXPECT_EQ(0, jags.exitCode) << jags.err;
    EXPECT_TRUE(jags.out.starts_with("Escritos en \"Müller/jags ñ\": modelo.bug,")) << jags.out;
    EXPECT_FALSE(ReadFile(dir.File("Müller/jags ñ/datos.R")).empty());
    EXPECT_EQ((std::vector<std::string>{"jags ñ", "α β.txt"}), Listing("Müller"));
    Expect({{"verificar", "Müller/falta é.txt"},
            1,
            "No se puede leer el archivo \"Müller/falta é.txt\": no existe."});
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
    for (const auto& [args, expected] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"datos", "d.txt"}, kAll},
             {{"datos", "d.txt", "--casos", "2"}, kAll},
             {{"modelo", "logit", "d.txt", "--casos", "100"},
              ReadFile(std::string(ZENTO_TEST_DATA_DIR) + "/winbugs/logit_y_x1_x2_k3_n100.txt")},
             {{"datos", "d.txt", "--casos", "3"}, ""},
             {{"datos", "d.txt", "--variables", "5"}, ""},
             {{"modelo", "probit", "d.txt", "--variables", "10"}, ""}}) {
        std::vector<std::string> toPipe = args;
        toPipe.insert(toPipe.end(), {"--salida", "tubo"});
        EXPECT_EQ(expected.empty() ? 1 : 0, Run(toPipe).exitCode) << args.back();
        EXPECT_EQ(expected, pipe.Drain()) << args.back();
        EXPECT_TRUE(fs::is_fifo(dir.path() / "tubo")) << "the pipe was replaced";
    }
}

TEST_F(CliTest, SalidaReportsWhatFails) {
    // The data file itself as the target: read completely before it is replaced.
    EXPECT_EQ(0, Run({"datos", "d.txt", "--variables", "1", "--salida", "d.txt"}).exitCode);
    EXPECT_EQ("y[]\t\r\n1\t\r\n0\t\r\nEND\r\n", ReadFile(dir.File("d.txt")));

    const Outcome noFolder = Run({"datos", "d.txt", "--salida", "no/hay/tal.txt"});
    EXPECT_EQ("zento-cli: No se puede escribir el archivo \"no/hay/tal.txt\": no existe.\n",
              noFolder.err);
    const Outcome folder = Run({"modelo", "logit", "d.txt", "--salida", "carpeta"});
    EXPECT_EQ("zento-cli: No se puede escribir el archivo \"carpeta\": es una carpeta.\n",
              folder.err);
    EXPECT_EQ((std::vector<std::string>{"carpeta", "d.txt", "vacio.txt"}), Listing());
}

// A target that another program holds open is replaced whole where the system lets it be; on
// Windows it is left whole, with the reason. No temporary file is left either way.
TEST_F(CliTest, SalidaHeldOpenElsewhereIsReplacedWholeOrLeftWhole) {
    dir.Write("salida.txt", "anterior");
    const std::ifstream reader(dir.path() / "salida.txt", std::ios::binary);
    ASSERT_TRUE(reader.is_open());
    const Outcome outcome = Run({"datos", "d.txt", "--salida", "salida.txt"});
    if (Unsupported(Needs::ReplacingOpenFiles)) {
        EXPECT_EQ(1, outcome.exitCode);
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

// A write that fails half way: the old file stays, no temporary is left, and a new folder for
// the JAGS files goes again.
TEST_F(CliTest, AFullDiskOrAFileSizeLimitLeavesEveryFileAsItWas) {
    if (const char* why = Unsupported(Needs::FileSizeLimit))
        GTEST_SKIP() << why;
    if (const char* why = Unsupported(Needs::DeviceFiles))
        GTEST_SKIP() << why;
    const Outcome full = Run({"datos", "d.txt"}, "/dev/full");
    EXPECT_EQ(1, full.exitCode);
    EXPECT_EQ(
        "zento-cli: No se puede escribir en la salida estándar: no queda espacio en el disco.\n",
        full.err);

    // 400 KiB of text against a limit of 64 KiB.
    std::string big = "y\tx\n";
    while (big.size() < (400 << 10))
        big += "1\t0.123456789\n";
    dir.Write("grande.txt", big);
    dir.Write("salida.txt", "anterior");
    const std::uint64_t limit = 64 << 10;
    const Outcome file = Run({"datos", "grande.txt", "--salida", "salida.txt"}, "", limit);
    EXPECT_EQ(1, file.exitCode);
    EXPECT_EQ("zento-cli: No se puede escribir el archivo \"salida.txt\": el archivo es demasiado "
              "grande.\n",
              file.err);
    EXPECT_EQ("anterior", ReadFile(dir.File("salida.txt")));
    const Outcome redirected = Run({"datos", "grande.txt"}, "stdout.txt", limit);
    EXPECT_EQ(
        "zento-cli: No se puede escribir en la salida estándar: el archivo es demasiado grande.\n",
        redirected.err);
    EXPECT_EQ(0, Run({"datos", "grande.txt", "--casos", "10", "--salida", "salida.txt"}, "", limit)
                     .exitCode);
    EXPECT_EQ(0u, ReadFile(dir.File("salida.txt")).find("y[]\tx[]\t\r\n1\t0.123456789\t\r\n"));

    // The JAGS files cannot all be written in 1 KiB: none is.
    const Outcome jags = Run({"jags", "logit", std::string(ZENTO_EXAMPLES_DIR) + "/birthwt.txt",
                              "--directorio", "lleno"},
                             "", 1024);
    EXPECT_EQ(
        "zento-cli: No se puede escribir el archivo \"lleno/datos.R\": el archivo es demasiado "
        "grande.\n",
        jags.err);
    EXPECT_EQ((std::vector<std::string>{"carpeta", "d.txt", "grande.txt", "salida.txt",
                                        "stdout.txt", "vacio.txt"}),
              Listing());
}

// Replaced by a shorter file while datos runs, over and over: datos counts and writes from the
// one file it opened, so standard output gets a whole text or nothing, never the start of one.
TEST_F(CliTest, AFileReplacedWhileDatosWritesToStdoutNeverLeaksPartOfAText) {
    if (const char* why = Unsupported(Needs::ReplacingOpenFiles))
        GTEST_SKIP() << why;
    // The shorter file still gives more than a block of text before it runs out.
    std::string longer = "y\tx\n", shorter;
    for (int row = 0; row < 400000; ++row) {
        longer += "1\t0.5\n";
        if (row == 250000)
            shorter = longer;
    }
    const std::string a = dir.Write("a.txt", longer), b = dir.Write("b.txt", shorter);
    const std::string path = dir.File("d.txt"), next = dir.File("siguiente.txt");
    std::atomic<bool> done = false;
    std::thread swapper([&] {
        std::error_code ec;
        for (int i = 0; !done; ++i) {
            fs::create_hard_link(i % 2 ? a : b, next, ec);
            fs::rename(next, path, ec);
        }
    });
    for (int run = 0; run < 60; ++run) {
        const Outcome outcome = Run({"datos", "d.txt", "--casos", "400000"});
        EXPECT_TRUE(outcome.exitCode == 0 ? outcome.out.ends_with("END\r\n") : outcome.out.empty())
            << outcome.exitCode << ": " << outcome.out.size() << " bytes; " << outcome.err;
    }
    done = true;
    swapper.join();
}

} // namespace
} // namespace zento
