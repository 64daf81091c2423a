// The generated JAGS files run in JAGS itself: every link on a real data set, and a posterior
// that agrees with the maximum-likelihood fit.
#include "winbugs/models.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace zento {
namespace {

std::string ShellQuoted(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

bool JagsInstalled() {
    return Shell("command -v jags >/dev/null 2>&1") == 0;
}

// Writes the files with zento-cli and runs "jags ejecutar.cmd" inside the directory, as a user
// would; the exit code of jags, or -1 when zento-cli failed.
int GenerateAndRun(const std::string& dir, const std::vector<std::string>& args) {
    std::string command = ShellQuoted(ZENTO_CLI_PATH) + " jags";
    for (const std::string& arg : args)
        command += " " + ShellQuoted(arg);
    command += " --directorio " + ShellQuoted(dir) + " > /dev/null";
    if (Shell(command) != 0)
        return -1;
    return Shell("cd " + ShellQuoted(dir) + " && jags ejecutar.cmd > salida.txt 2>&1");
}

// CODA output: every monitored node's draws, the chains one after the other.
std::map<std::string, std::vector<double>> ReadCoda(const std::string& dir, int chains) {
    std::map<std::string, std::vector<double>> draws;
    std::vector<std::vector<double>> values(static_cast<std::size_t>(chains));
    for (int chain = 1; chain <= chains; ++chain) {
        std::ifstream in(dir + "/CODAchain" + std::to_string(chain) + ".txt");
        double iteration = 0, value = 0;
        while (in >> iteration >> value)
            values[static_cast<std::size_t>(chain - 1)].push_back(value);
    }
    std::ifstream index(dir + "/CODAindex.txt");
    std::string name;
    std::size_t first = 0, last = 0;
    while (index >> name >> first >> last) {
        for (const auto& chain : values) {
            for (std::size_t i = first; i <= last && i <= chain.size(); ++i)
                draws[name].push_back(chain[i - 1]);
        }
    }
    return draws;
}

class JagsRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!JagsInstalled())
            GTEST_SKIP() << "jags no está instalado (make test lo instala con apt-get)";
    }
    testing::TempDir dir;
};

TEST_F(JagsRunTest, EveryLinkRunsToTheEndOnVaso) {
    const std::string vaso = std::string(ZENTO_EXAMPLES_DIR) + "/vaso.txt";
    for (const LinkInfo& info : Links()) {
        const std::string out = dir.File(std::string(info.key));
        ASSERT_EQ(0, GenerateAndRun(out, {std::string(info.key), vaso, "--calentamiento", "100",
                                          "--iteraciones", "100"}))
            << info.key << "\n"
            << testing::ReadFile(out + "/salida.txt");
        const auto draws = ReadCoda(out, 3);
        const bool extra =
            info.link != Link::Logit && info.link != Link::Probit && info.link != Link::Cloglog;
        EXPECT_EQ(extra ? 4u : 3u, draws.size()) << info.key;
        for (const char* beta : {"beta[1]", "beta[2]", "beta[3]"}) {
            ASSERT_EQ(1u, draws.count(beta)) << info.key;
            EXPECT_EQ(300u, draws.at(beta).size()) << info.key;
        }
    }
}

TEST_F(JagsRunTest, LogitPosteriorMeansAgreeWithMaximumLikelihood) {
    const std::string out = dir.File("birthwt");
    ASSERT_EQ(0, GenerateAndRun(out, {"logit", std::string(ZENTO_EXAMPLES_DIR) + "/birthwt.txt",
                                      "--iteraciones", "4000"}))
        << testing::ReadFile(out + "/salida.txt");
    const auto draws = ReadCoda(out, 3);
    // low ~ age + lwt + smoke + ht + ui, fitted by maximum likelihood.
    const std::vector<double> ml = {1.3998, -0.0341, -0.0154, 0.6475, 1.8933, 0.8846};
    for (std::size_t j = 0; j < ml.size(); ++j) {
        const std::string name = "beta[" + std::to_string(j + 1) + "]";
        ASSERT_EQ(1u, draws.count(name));
        const std::vector<double>& x = draws.at(name);
        ASSERT_EQ(12000u, x.size());
        double mean = 0, squares = 0;
        for (double v : x)
            mean += v;
        mean /= static_cast<double>(x.size());
        for (double v : x)
            squares += (v - mean) * (v - mean);
        const double sd = std::sqrt(squares / static_cast<double>(x.size() - 1));
        EXPECT_LT(std::abs(mean - ml[j]), 0.25 * sd)
            << name << ": media " << mean << ", sd " << sd << ", MV " << ml[j];
    }
}

} // namespace
} // namespace zento
