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
    const std::string path = dir.Write("grande.txt", "y\tx\n1\t2\n0\t3\n");
    std::error_code ec;
    std::filesystem::resize_file(path, std::uintmax_t{1} << 40, ec);
    if (ec)
        GTEST_SKIP() << "no sparse files here: " << ec.message();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"modelo", "probit", "grande.txt", "--variables", "2", "--casos", "1"}, "x[i]"},
        {{"modelo", "probit", "grande.txt", "--casos", "1"}, "list(n=1,k=2)"},
        {{"datos", "grande.txt", "--casos", "1"}, "1\t2\t\r\nEND\r\n"},
        {{"datos", "grande.txt", "--casos", "1", "--salida", "f.txt"}, ""},
        {{"verificar", "grande.txt", "--casos", "2"}, "ningún problema"},
        {{"jags", "logit", "grande.txt", "--casos", "1", "--directorio", "j"}, "ejecutar.cmd"},
    };
    for (const auto& [args, fragment] : cases) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(0, outcome.exitCode) << args[0] << " " << outcome.err;
        EXPECT_NE(std::string::npos, outcome.out.find(fragment));
    }
}

TEST_F(CliTest, VerificarReportsWhatItFindsAndExitsOne) {
    const std::string planted = std::string(ZENTO_VERIFICAR_DIR) + "/";
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::vector<std::string> fragments;
    };
    const std::vector<Case> cases = {
        {{"verificar", std::string(ZENTO_EXAMPLES_DIR) + "/vaso.txt"},
         0,
         {"ningún problema (K = 3; se revisaron 3 variables y 39 líneas de casos)"}},
        {{"verificar", planted + "valores.txt"},
         1,
         {"línea 2, columna 2 («x1»): «0,5» lleva coma decimal",
          "línea 3, columna 2 («x1»): «1e-3» lleva el exponente en minúscula",
          "línea 5, columna 3 («x2»): «x» no es un número", "  valores con coma decimal: 1\n",
          "Total: 4 problemas.\n"}},
        {{"verificar", planted + "filas.txt"},
         1,
         {"línea 3: la fila tiene 2 valores y K = 3.", "línea 4: la fila tiene 4 valores"}},
        {{"verificar", planted + "constantes.txt", "--casos", "3"},
         1,
         {"columna 1 («y»): la respuesta vale «1» en los 3 casos elegidos",
          "columna 3 («x2»): la covariable vale «7»"}},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(c.exitCode, outcome.exitCode) << c.args[1];
        EXPECT_EQ("", outcome.err);
        for (const std::string& fragment : c.fragments)
            EXPECT_NE(std::string::npos, outcome.out.find(fragment)) << outcome.out;
    }

    // A million problems do not make a million lines.
    std::string broken = "y\tx\n";
    for (int i = 0; i < 2000; ++i)
        broken += "2\t1,5\n";
    dir.Write("roto.txt", broken);
    const Outcome many = Run({"verificar", "roto.txt"});
    EXPECT_EQ(1, many.exitCode);
    EXPECT_GT(25, std::count(many.out.begin(), many.out.end(), '\n')) << many.out;
    EXPECT_NE(std::string::npos, many.out.find("… y 1995 más de «valores con coma decimal» en "
                                               "columna 2 («x»), que no se muestran."))
        << many.out;
    // Every row, twice each, and the two columns are constant.
    EXPECT_NE(std::string::npos, many.out.find("Total: 4002 problemas."));

    const Outcome missing = Run({"verificar", "falta.txt"});
    EXPECT_EQ(1, missing.exitCode);
    ExpectOneLineMessage(missing, "no existe");
    const Outcome usage = Run({"verificar", "falta.txt", "--casos", "x"});
    EXPECT_EQ(2, usage.exitCode);
    EXPECT_EQ("", usage.out);
}

TEST_F(CliTest, JagsWritesAllFilesOrLeavesTheDirectoryAsItWas) {
    dir.Write("d.txt", kExample);
    const std::vector<std::string> written = {"datos.R",  "ejecutar.cmd", "inits1.R",
                                              "inits2.R", "inits3.R",     "modelo.bug"};
    const auto listing = [&](const std::string& sub) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path() / sub))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };

    const Outcome fresh = Run({"jags", "cds", "d.txt", "--directorio", "nuevo/sub"});
    EXPECT_EQ(0, fresh.exitCode) << fresh.err;
    EXPECT_EQ("", fresh.err);
    EXPECT_NE(std::string::npos, fresh.out.find("jags ejecutar.cmd"));
    EXPECT_EQ(written, listing("nuevo/sub"));
    EXPECT_NE(
        std::string::npos,
        testing::ReadFile(dir.File("nuevo/sub/modelo.bug")).find("y[i] ~ dinterval(zs[i], 0)"));

    // Refusals: a missing directory is not created, an existing one keeps what it held.
    const std::string kept = dir.Write("nuevo/sub/modelo.bug", "anterior");
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
        {{"jags", "logit", "d.txt", "--casos", "3", "--directorio", "nuevo/sub"},
         "se pidieron 3 casos"},
        {{"jags", "logit", "d.txt", "--variables", "9", "--casos", "1", "--directorio",
          "nuevo/sub"},
         "tiene"},
        {{"jags", "logit", "falta.txt", "--directorio", "nuevo/sub"}, "no existe"},
        {{"jags", "logit", "d.txt", "--casos", "3", "--directorio", "otro"}, "se pidieron 3"},
        {{"jags", "logit", "d.txt", "--directorio", "d.txt"}, "d.txt"},
    };
    for (const auto& [args, fragment] : refusals) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(1, outcome.exitCode) << args.back();
        ExpectOneLineMessage(outcome, fragment);
    }
    EXPECT_EQ("anterior", testing::ReadFile(kept));
    EXPECT_EQ(written, listing("nuevo/sub"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "otro"));
    EXPECT_EQ(kExample, testing::ReadFile(dir.File("d.txt")));

    dir.Write("header.txt", "y\tx\n");
    const Outcome noCases = Run({"jags", "logit", "header.txt", "--directorio", "h"});
    EXPECT_EQ(1, noCases.exitCode);
    ExpectOneLineMessage(noCases, "no tiene ningún caso");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "h"));

    // Written again over the old files, with two chains: nothing else is left behind.
    const Outcome again =
        Run({"jags", "logit", "d.txt", "--cadenas", "2", "--directorio", "nuevo/sub"});
    EXPECT_EQ(0, again.exitCode) << again.err;
    EXPECT_EQ(written, listing("nuevo/sub"));
    EXPECT_NE("anterior", testing::ReadFile(kept));
    EXPECT_NE(std::string::npos,
              testing::ReadFile(dir.File("nuevo/sub/ejecutar.cmd")).find("nchains(2)"));
}

} // namespace
} // namespace zento
