// zento-cli on hostile input: binary files, huge tokens and headers, paths that are not data
// files, counts at the ends of the 32-bit range, 8-bit names, and a disk that fills up.
#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include "clitestrunner.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace zento {
namespace {

// Whitespace as the data format defines it, counted apart from the readers.
std::vector<std::string> Tokens(const std::string& bytes) {
    std::vector<std::string> tokens;
    std::string current;
    for (char c : bytes) {
        if (c == ' ' || (c >= '\t' && c <= '\r')) {
            if (!current.empty())
                tokens.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        tokens.push_back(current);
    return tokens;
}

std::string PseudoRandomBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 23);
    }
    return bytes;
}

class CliBadInputTest : public CliTest {};

TEST_F(CliBadInputTest, BinaryFilesAndNulBytesAreTakenAsTokens) {
    const std::string binary = PseudoRandomBytes(64 << 10);
    dir.Write("binario.bin", binary);
    const std::vector<std::string> tokens = Tokens(binary);
    std::int64_t tabs = 0;
    for (std::size_t i = 0; i < binary.size() && binary[i] != '\n'; ++i)
        tabs += binary[i] == '\t';
    const std::int64_t k = tabs + 1;
    const std::int64_t n = static_cast<std::int64_t>(tokens.size()) / k - 1;
    const Outcome scan = Run({"escanear", "binario.bin"});
    EXPECT_EQ(0, scan.exitCode);
    EXPECT_EQ("Variables (K): " + std::to_string(k) + "\nCasos (N): " + std::to_string(n) + "\n",
              scan.out);

    // Every token of the binary file, written as data: the first k names, then the values.
    DataSelection selection;
    selection.path = dir.File("binario.bin");
    selection.K = static_cast<std::int32_t>(k);
    selection.chosenVariables = static_cast<std::int32_t>(k);
    selection.chosenCases = static_cast<std::int32_t>(n);
    const Outcome data = Run({"datos", "binario.bin"});
    EXPECT_EQ(0, data.exitCode) << data.err;
    EXPECT_EQ(*BuildRectangularData(selection), data.out);
    EXPECT_EQ(0u, data.out.find(tokens[0] + "[]\t"));

    const Outcome model = Run({"modelo", "logit", "binario.bin", "--variables", "2"});
    EXPECT_EQ(0, model.exitCode) << model.err;
    EXPECT_NE(std::string::npos, model.out.find("         " + tokens[0] + "[i] ~ dbern(p[i])"));
    EXPECT_NE(std::string::npos, model.out.find("+beta[2]*" + tokens[1] + "[i]\r\n"));

    const std::string nul("y\0a\tx\n1\t\0\n0\t\0\0\n", 15);
    dir.Write("nul.txt", nul);
    const Outcome nulData = Run({"datos", "nul.txt"});
    EXPECT_EQ(0, nulData.exitCode);
    EXPECT_EQ(std::string("y\0a[]\tx[]\t\r\n1\t\0\t\r\n0\t\0\0\t\r\nEND\r\n", 30), nulData.out);
    const Outcome nulModel = Run({"modelo", "probit", "nul.txt", "--salida", "m.txt"});
    EXPECT_EQ(0, nulModel.exitCode);
    EXPECT_NE(std::string::npos,
              testing::ReadFile(dir.File("m.txt")).find(std::string("\0a[i] ~ dbern", 13)));
}

TEST_F(CliBadInputTest, HugeTokensAndHeadersAreWrittenWhole) {
    // One name of 8 MiB, and a header of a mebibyte with 120000 names.
    const std::string giant(8 << 20, 'g');
    dir.Write("grande.txt", "y\t" + giant + "\n1\t2\n");
    std::string header;
    std::string row;
    for (int i = 0; i < 120000; ++i) {
        header += (i ? "\tv" : "v") + std::to_string(i);
        row += "1 ";
    }
    dir.Write("ancho.txt", header + "\n" + row + "\n");

    EXPECT_EQ("Variables (K): 2\nCasos (N): 1\n", Run({"escanear", "grande.txt"}).out);
    const Outcome data = Run({"datos", "grande.txt"});
    EXPECT_EQ(0, data.exitCode);
    EXPECT_EQ("y[]\t" + giant + "[]\t\r\n1\t2\t\r\nEND\r\n", data.out);
    const Outcome model = Run({"modelo", "cloglog", "grande.txt", "--salida", "m.txt"});
    EXPECT_EQ(0, model.exitCode);
    EXPECT_NE(std::string::npos,
              testing::ReadFile(dir.File("m.txt")).find("+beta[2]*" + giant + "[i]\r\n"));

    EXPECT_EQ("Variables (K): 120000\nCasos (N): 1\n", Run({"escanear", "ancho.txt"}).out);
    const Outcome wide = Run({"datos", "ancho.txt", "--casos", "0"});
    EXPECT_EQ(0, wide.exitCode);
    std::string expected;
    for (int i = 0; i < 120000; ++i)
        expected += "v" + std::to_string(i) + "[]\t";
    EXPECT_EQ(expected + "\r\nEND\r\n", wide.out);
    const Outcome checked = Run({"verificar", "ancho.txt"});
    EXPECT_EQ(1, checked.exitCode); // the constant columns
    EXPECT_EQ("", checked.err);
}

TEST_F(CliBadInputTest, PathsThatAreNotDataFilesAreRefusedWithoutWaiting) {
    dir.Write("d.txt", kExample);
    std::filesystem::create_directory(dir.path() / "carpeta");
    struct Path {
        std::string name;
        std::string fragment;
    };
    std::vector<Path> paths = {{"carpeta", "es una carpeta"}, {"falta.txt", "no existe"}};
#ifndef _WIN32
    // Opening a FIFO that nobody writes to would wait for ever.
    ASSERT_EQ(0, ::mkfifo(dir.File("tubo").c_str(), 0600));
    paths.push_back({"tubo", "no es un archivo normal"});
    paths.push_back({"/dev/null", "no es un archivo normal"});
#endif
    for (const Path& path : paths) {
        for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                 {"escanear", path.name},
                 {"datos", path.name},
                 {"datos", path.name, "--variables", "1", "--casos", "1"},
                 {"modelo", "bbb", path.name},
                 {"modelo", "logit", path.name, "--variables", "1", "--casos", "1"},
                 {"verificar", path.name},
                 {"jags", "logit", path.name, "--directorio", "j"},
             }) {
            // timeout turns a hang into a failure instead of a stuck test run.
            const Outcome outcome = Run(args, "", "timeout 20 ");
            EXPECT_EQ(1, outcome.exitCode) << args[0] << " " << path.name;
            ExpectOneLineMessage(outcome, path.fragment);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "j"));
}

// The command line's counterpart of a file changed between the dialog's count and the
// generation: counted with escanear, then changed before datos or modelo uses the counts.
TEST_F(CliBadInputTest, AFileChangedAfterItWasCountedIsReadAsItIsThen) {
    struct Change {
        const char* what;
        std::function<void(const std::string&)> apply;
        std::string fragment;
    };
    const std::vector<Change> changes = {
        {"shorter", [&](const std::string& p) { dir.Write(p, "y\tx1\tx2\n1\t2\n"); },
         "tiene 0 casos completos"},
        {"removed", [](const std::string& p) { std::filesystem::remove(p); }, "no existe"},
        {"folder",
         [](const std::string& p) {
             std::filesystem::remove(p);
             std::filesystem::create_directory(p);
         },
         "es una carpeta"},
#ifndef _WIN32
        {"fifo",
         [](const std::string& p) {
             std::filesystem::remove(p);
             ::mkfifo(p.c_str(), 0600);
         },
         "no es un archivo normal"},
#endif
    };
    for (const Change& change : changes) {
        dir.Write("d.txt", kExample);
        ASSERT_EQ("Variables (K): 3\nCasos (N): 2\n", Run({"escanear", "d.txt"}).out);
        change.apply(dir.File("d.txt"));
        const std::string before = "anterior\r\n";
        dir.Write("salida.txt", before);
        for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                 {"datos", "d.txt", "--variables", "3", "--casos", "2"},
                 {"datos", "d.txt", "--variables", "3", "--casos", "2", "--salida", "salida.txt"},
                 {"modelo", "logit", "d.txt", "--variables", "3", "--casos", "2"},
             }) {
            const Outcome outcome = Run(args, "", "timeout 20 ");
            if (change.what == std::string("shorter") && args[0] == "modelo") {
                EXPECT_EQ(0, outcome.exitCode); // the three names are still there
                continue;
            }
            EXPECT_EQ(1, outcome.exitCode) << change.what << " " << args[0];
            ExpectOneLineMessage(outcome, change.fragment);
        }
        EXPECT_EQ(before, testing::ReadFile(dir.File("salida.txt"))) << change.what;
        std::filesystem::remove_all(dir.File("d.txt"));
    }
}

TEST_F(CliBadInputTest, CountsAtTheEndsOfThe32BitRange) {
    dir.Write("d.txt", kExample);
    const std::string min = "-2147483648";
    const std::string max = "2147483647";
    ModelNames oneName{"y", {}};
    DataSelection extremes;
    extremes.chosenVariables = INT32_MIN;
    extremes.chosenCases = INT32_MAX;
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string fragment; // in stdout for exit 0, in the message otherwise
    };
    const std::vector<Case> cases = {
        {{"datos", "d.txt", "--casos", min}, 0, "y[]\tx1[]\tx2[]\t\r\nEND\r\n"},
        {{"datos", "d.txt", "--casos", max}, 1, "se pidieron 2147483647 casos"},
        {{"datos", "d.txt", "--variables", max}, 1, "menos que los 2147483647 nombres"},
        {{"datos", "d.txt", "--variables", min, "--casos", "0"}, 1, "2147483651 nombres"},
        {{"datos", "d.txt", "--variables", min, "--casos", min}, 1, "2147483651 nombres"},
        {{"modelo", "standard", "d.txt", "--variables", min, "--casos", max},
         0,
         BuildSkewProbitStandardModel(oneName, extremes)},
        {{"modelo", "logit", "d.txt", "--casos", min}, 0, "list(N=-2147483648,k=3)"},
        {{"modelo", "scobit", "d.txt", "--variables", max}, 1, "necesita leer 2147483647 nombres"},
        {{"verificar", "d.txt", "--variables", max, "--casos", max}, 1, ""},
        {{"verificar", "d.txt", "--variables", min, "--casos", min}, 0, "ningún problema"},
        {{"jags", "logit", "d.txt", "--directorio", "j", "--variables", max}, 1, "2147483647"},
        {{"jags", "logit", "d.txt", "--directorio", "j", "--casos", max}, 1, "2147483647 casos"},
        {{"jags", "logit", "d.txt", "--directorio", "j", "--variables", min}, 2, "--variables"},
        {{"jags", "logit", "d.txt", "--directorio", "j", "--cadenas", max}, 2, "--cadenas"},
        {{"jags", "logit", "d.txt", "--directorio", "j", "--calentamiento", max}, 0, "j"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(c.exitCode, outcome.exitCode) << c.args[0] << " " << c.args.back();
        if (c.exitCode == 0) {
            EXPECT_NE(std::string::npos, outcome.out.find(c.fragment)) << outcome.out;
            EXPECT_EQ("", outcome.err);
        } else if (c.exitCode == 1 && c.args[0] != "verificar") {
            ExpectOneLineMessage(outcome, c.fragment);
        } else {
            EXPECT_NE(std::string::npos, outcome.err.find(c.fragment)) << outcome.err;
        }
    }
    EXPECT_NE(std::string::npos,
              testing::ReadFile(dir.File("j/ejecutar.cmd")).find("update 2147483647"));
}

TEST_F(CliBadInputTest, EightBitNamesPassByteForByte) {
    // The same names in UTF-8, in Latin-1, and every byte from 0x80 to 0xFF in one name.
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c)
        high += static_cast<char>(c);
    const std::vector<std::pair<std::string, std::string>> encodings = {
        {"utf8", "a\xc3\xb1o\tpe\xc3\xb1"
                 "a\tx\xe2\x82\xac\n1\t2\t3\n0\t4\t5\n"},
        {"latin1", "a\xf1o\tpe\xf1"
                   "a\tx\x80\n1\t2\t3\n0\t4\t5\n"},
        {"high", "y\t" + high + "\tz\n1\t2\t3\n0\t4\t5\n"},
    };
    for (const auto& [label, bytes] : encodings) {
        dir.Write("d.txt", bytes);
        const std::vector<std::string> names = Tokens(bytes);
        const std::string data = names[0] + "[]\t" + names[1] + "[]\t" + names[2] +
                                 "[]\t\r\n1\t2\t3\t\r\n0\t4\t5\t\r\nEND\r\n";
        DataSelection selection;
        selection.chosenVariables = 3;
        selection.chosenCases = 2;
        const std::string model =
            BuildPowerLogitModel(ModelNames{names[0], {names[1], names[2]}}, selection);
        EXPECT_EQ(data, Run({"datos", "d.txt"}).out) << label;
        EXPECT_EQ(model, Run({"modelo", "powerlogit", "d.txt"}).out) << label;
        ASSERT_EQ(0, Run({"datos", "d.txt", "--salida", "datos.txt"}).exitCode);
        ASSERT_EQ(0, Run({"modelo", "powerlogit", "d.txt", "--salida", "modelo.txt"}).exitCode);
        EXPECT_EQ(data, testing::ReadFile(dir.File("datos.txt"))) << label;
        EXPECT_EQ(model, testing::ReadFile(dir.File("modelo.txt"))) << label;
    }
}

#ifndef _WIN32
TEST_F(CliBadInputTest, AFullDiskLeavesTheOldOutputAndSaysWhy) {
    // 400 KiB of text against a file size limit of 64 KiB (the shell's ulimit counts blocks of
    // 512 or 1024 bytes, so 128 blocks is 64 or 128 KiB): the write fails half way.
    std::string bytes = "y\tx\n";
    while (bytes.size() < (400 << 10))
        bytes += "1\t0.123456789\n";
    dir.Write("d.txt", bytes);
    const std::string before = "resultado anterior\r\n";
    dir.Write("salida.txt", before);
    const std::string limit = "ulimit -f 128 && ";

    const Outcome file = Run({"datos", "d.txt", "--salida", "salida.txt"}, "", limit);
    EXPECT_EQ(1, file.exitCode) << file.err;
    ExpectOneLineMessage(file, "\"salida.txt\": el archivo es demasiado grande.");
    EXPECT_EQ(before, testing::ReadFile(dir.File("salida.txt")));
    EXPECT_EQ(std::vector<std::string>{}, Leftovers({"d.txt", "salida.txt"}));

    const Outcome redirected = Run({"datos", "d.txt"}, "stdout.txt", limit);
    EXPECT_EQ(1, redirected.exitCode);
    EXPECT_NE(std::string::npos,
              redirected.err.find("salida estándar: el archivo es demasiado grande"))
        << redirected.err;

    // Under the limit the same command writes the whole text.
    const Outcome fits =
        Run({"datos", "d.txt", "--casos", "10", "--salida", "salida.txt"}, "", limit);
    EXPECT_EQ(0, fits.exitCode) << fits.err;
    EXPECT_EQ(0u, testing::ReadFile(dir.File("salida.txt")).find("y[]\tx[]\t\r\n1\t0.123456789"));
}
#endif

} // namespace
} // namespace zento
