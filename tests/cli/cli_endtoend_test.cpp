// zento-cli as a user runs it: exit codes, exact stdout, one-line messages, untouched outputs.
#include "winbugs/models.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace zento {
namespace {

const std::string kExample = "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n";

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ShellQuoted(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class CliTest : public ::testing::Test {
protected:
    // Runs zento-cli in the scratch directory; stdout goes to redirect when one is given.
    Outcome Run(const std::vector<std::string>& args, const std::string& redirect = "") {
        std::string command =
            "cd " + ShellQuoted(dir.path().string()) + " && " + ShellQuoted(ZENTO_CLI_PATH);
        for (const std::string& arg : args)
            command += " " + ShellQuoted(arg);
        const std::string out = dir.File(".stdout"), err = dir.File(".stderr");
        command +=
            " > " + (redirect.empty() ? ShellQuoted(out) : redirect) + " 2> " + ShellQuoted(err);
        const int status = std::system(command.c_str());
        Outcome outcome;
#ifdef _WIN32
        outcome.exitCode = status;
#else
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
        outcome.out = testing::ReadFile(out);
        outcome.err = testing::ReadFile(err);
        std::filesystem::remove(out);
        std::filesystem::remove(err);
        return outcome;
    }

    // Files in the scratch directory other than the ones the test wrote.
    std::vector<std::string> Leftovers(const std::vector<std::string>& expected) {
        std::vector<std::string> extra;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (std::find(expected.begin(), expected.end(), name) == expected.end())
                extra.push_back(name);
        }
        return extra;
    }

    static void ExpectOneLineMessage(const Outcome& outcome, const std::string& fragment) {
        EXPECT_EQ("", outcome.out);
        ASSERT_FALSE(outcome.err.empty());
        EXPECT_EQ(0u, outcome.err.find("zento-cli: "));
        EXPECT_EQ(outcome.err.size() - 1, outcome.err.find('\n')) << outcome.err;
        EXPECT_NE(std::string::npos, outcome.err.find(fragment)) << outcome.err;
    }

    testing::TempDir dir;
};

TEST_F(CliTest, SuccessfulCommandsWriteExactlyTheText) {
    dir.Write("d.txt", kExample);
    dir.Write("vacio.txt", "");
    const std::string golden =
        testing::ReadFile(std::string(ZENTO_GOLDEN_DIR) + "/logit_y_x1_x2_k3_n100.txt");
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"escanear", "d.txt"}, "Variables (K): 3\nCasos (N): 2\n"},
        {{"escanear", "vacio.txt"}, "Variables (K): 1\nCasos (N): -1\n"},
        {{"datos", "d.txt"}, "y[]\tx1[]\tx2[]\t\r\n1\t0.5\t2\t\r\n0\t1.5\t3\t\r\nEND\r\n"},
        {{"datos", "d.txt", "--variables", "2", "--casos", "1"},
         "y[]\tx1[]\t\r\n1\t0.5\t\r\nEND\r\n"},
        {{"datos", "--variables=2", "--casos=1", "d.txt"}, "y[]\tx1[]\t\r\n1\t0.5\t\r\nEND\r\n"},
        {{"datos", "d.txt", "--casos", "-4"}, "y[]\tx1[]\tx2[]\t\r\nEND\r\n"},
        {{"datos", "d.txt", "--variables", "0"}, "\r\n\r\n\r\nEND\r\n"},
        {{"modelo", "logit", "d.txt", "--casos", "100"}, golden},
        {{"modelo", "LOGIT", "d.txt", "--casos=100", "--variables=3"}, golden},
        {{"--version"}, "1.0.0.1\n"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(0, outcome.exitCode) << c.args.front() << " " << outcome.err;
        EXPECT_EQ(c.out, outcome.out) << c.args.front();
        EXPECT_EQ("", outcome.err);
    }
    const Outcome help = Run({"--help"});
    EXPECT_EQ(0, help.exitCode);
    EXPECT_NE(std::string::npos, help.out.find("Uso:"));
}

TEST_F(CliTest, EveryLinkGivesItsBuildersText) {
    dir.Write("d.txt", kExample);
    DataSelection selection;
    selection.chosenVariables = 2;
    selection.chosenCases = -1;
    for (const LinkInfo& info : Links()) {
        const Outcome outcome =
            Run({"modelo", std::string(info.key), "d.txt", "--variables", "2", "--casos", "-1"});
        EXPECT_EQ(0, outcome.exitCode) << info.key;
        EXPECT_EQ(info.build(ModelNames{"y", {"x1"}}, selection), outcome.out) << info.key;
    }
}

TEST_F(CliTest, UnusableDataExitsOneWithNothingOnStdout) {
    dir.Write("d.txt", kExample);
    dir.Write("vacio.txt", "");
    dir.Write("corto.txt", "y\tx1\tx2\n1 0.5 2\n0 1.5\n");
    std::filesystem::create_directory(dir.path() / "carpeta");
    struct Case {
        std::vector<std::string> args;
        std::string fragment;
    };
    const std::vector<Case> cases = {
        {{"escanear", "falta.txt"}, "no existe"},
        {{"escanear", "carpeta"}, "es una carpeta"},
        {{"datos", "falta.txt"}, "no existe"},
        {{"datos", "d.txt", "--casos", "3"},
         "tiene 2 casos completos de 3 variables; se pidieron 3 casos"},
        {{"datos", "d.txt", "--casos", "2147483647", "--variables", "2147483647"},
         "menos que los 2147483647 nombres de la cabecera"},
        {{"datos", "d.txt", "--casos", "2147483647"}, "se pidieron 2147483647 casos"},
        {{"datos", "corto.txt", "--casos", "2"}, "tiene 1 caso completo de 3 variables"},
        {{"datos", "vacio.txt"}, "no contiene ningún dato"},
        {{"modelo", "logit", "vacio.txt"}, "no contiene ningún dato"},
        {{"modelo", "cds", "d.txt", "--variables", "10", "--casos", "1"},
         "necesita leer 10 nombres"},
        {{"modelo", "logit", "falta.txt", "--variables", "2", "--casos", "1"}, "no existe"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(1, outcome.exitCode) << c.args.front() << " " << c.args[1];
        ExpectOneLineMessage(outcome, c.fragment);
    }
}

TEST_F(CliTest, UsageErrorsExitTwoWithNothingOnStdout) {
    dir.Write("d.txt", kExample);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"convertir", "d.txt"},
        {"modelo", "logistic", "d.txt"},
        {"datos", "d.txt", "--casos", "muchos"},
        {"datos", "d.txt", "--casos=2147483648"},
        {"datos", "d.txt", "--variables", "-2147483649"},
        {"datos", "d.txt", "--casos"},
        {"escanear", "d.txt", "--salida", "x.txt"},
    };
    for (const auto& args : cases) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(2, outcome.exitCode);
        EXPECT_EQ("", outcome.out);
        EXPECT_NE(std::string::npos, outcome.err.find("Uso:")) << outcome.err;
    }
}

TEST_F(CliTest, SalidaIsReplacedWholeOrLeftUntouched) {
    dir.Write("d.txt", kExample);
    const std::string before = "texto anterior\r\n";
    const std::string target = dir.Write("salida.txt", before);

    Outcome refused = Run({"datos", "d.txt", "--casos", "3", "--salida", "salida.txt"});
    EXPECT_EQ(1, refused.exitCode);
    ExpectOneLineMessage(refused, "se pidieron 3 casos");
    EXPECT_EQ(before, testing::ReadFile(target));

    refused = Run({"modelo", "logit", "d.txt", "--variables=12", "--salida=salida.txt"});
    EXPECT_EQ(1, refused.exitCode);
    EXPECT_EQ(before, testing::ReadFile(target));
    EXPECT_EQ(std::vector<std::string>{}, Leftovers({"d.txt", "salida.txt"}));

    const Outcome toStdout = Run({"modelo", "scobit", "d.txt"});
    const Outcome toFile = Run({"modelo", "scobit", "d.txt", "--salida", "salida.txt"});
    EXPECT_EQ(0, toFile.exitCode) << toFile.err;
    EXPECT_EQ("", toFile.out);
    EXPECT_EQ(toStdout.out, testing::ReadFile(target));

    const Outcome data = Run({"datos", "d.txt", "--salida", "nueva.txt"});
    EXPECT_EQ(0, data.exitCode);
    EXPECT_EQ(Run({"datos", "d.txt"}).out, testing::ReadFile(dir.File("nueva.txt")));

    // The data file itself as the target: read completely before it is replaced.
    const Outcome inPlace = Run({"datos", "d.txt", "--variables", "1", "--salida", "d.txt"});
    EXPECT_EQ(0, inPlace.exitCode);
    EXPECT_EQ("y[]\t\r\n1\t\r\n0\t\r\nEND\r\n", testing::ReadFile(dir.File("d.txt")));
    EXPECT_EQ(std::vector<std::string>{}, Leftovers({"d.txt", "salida.txt", "nueva.txt"}));
}

TEST_F(CliTest, WriteFailuresAreReported) {
    dir.Write("d.txt", kExample);
    std::filesystem::create_directory(dir.path() / "carpeta");
    const Outcome noDirectory = Run({"datos", "d.txt", "--salida", "no/hay/tal.txt"});
    EXPECT_EQ(1, noDirectory.exitCode);
    ExpectOneLineMessage(noDirectory, "no/hay/tal.txt");

    const Outcome intoDirectory = Run({"modelo", "logit", "d.txt", "--salida", "carpeta"});
    EXPECT_EQ(1, intoDirectory.exitCode);
    ExpectOneLineMessage(intoDirectory, "es una carpeta");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "carpeta"));

#ifndef _WIN32
    if (std::filesystem::exists("/dev/full")) {
        const Outcome full = Run({"datos", "d.txt"}, "/dev/full");
        EXPECT_EQ(1, full.exitCode);
        EXPECT_NE(std::string::npos, full.err.find("salida estándar")) << full.err;
    }
#endif
}

TEST_F(CliTest, GivenCountsDoNotScanTheWholeFile) {
    // A sparse file of a tebibyte behind a short table: a whole scan would not finish in time.
    const std::string path = dir.Write("grande.txt", "y\tx\n1\t2\n");
    std::error_code ec;
    std::filesystem::resize_file(path, std::uintmax_t{1} << 40, ec);
    if (ec)
        GTEST_SKIP() << "no sparse files here: " << ec.message();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"modelo", "probit", "grande.txt", "--variables", "2", "--casos", "1"}, "x[i]"},
        {{"modelo", "probit", "grande.txt", "--casos", "1"}, "list(n=1,k=2)"},
        {{"datos", "grande.txt", "--casos", "1"}, "1\t2\t\r\nEND\r\n"},
        {{"datos", "grande.txt", "--casos", "1", "--salida", "f.txt"}, ""},
    };
    for (const auto& [args, fragment] : cases) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(0, outcome.exitCode) << args[0] << " " << outcome.err;
        EXPECT_NE(std::string::npos, outcome.out.find(fragment));
    }
}

} // namespace
} // namespace zento
