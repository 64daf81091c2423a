// The generated JAGS files run in JAGS itself: every link on a real data set, and a posterior
// that agrees with the maximum-likelihood fit.
#include "winbugs/models.h"

#include "common/process.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace zento {
namespace {

class JagsRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* why = testing::Unsupported(testing::Needs::PosixShell))
            GTEST_SKIP() << why;
        if (testing::RunShell("command -v jags >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "jags no está instalado (make test lo instala con apt-get)";
    }

    // Writes the files with zento-cli into a directory of its own and runs "jags ejecutar.cmd"
    // there, as a user would; then every monitored node's draws, the chains one after another.
    std::map<std::string, std::vector<double>> Fit(const std::string& link, const char* example,
                                                   const std::string& options) {
        const std::string out = dir.File(link);
        const auto quoted = [](const std::string& path) { return "'" + path + "'"; };
        const std::string command = quoted(ZENTO_CLI_PATH) + " jags " + link + " " +
                                    quoted(std::string(ZENTO_EXAMPLES_DIR) + "/" + example) + " " +
                                    options + " --directorio " + quoted(out) +
                                    " > /dev/null && cd " + quoted(out) +
                                    " && jags ejecutar.cmd > salida.txt 2>&1";
        EXPECT_EQ(0, testing::RunShell(command)) << link << "\n"
                                                 << testing::ReadFile(out + "/salida.txt");
        std::vector<std::vector<double>> chains;
        for (int chain = 1;; ++chain) {
            std::ifstream in(out + "/CODAchain" + std::to_string(chain) + ".txt");
            if (!in)
                break;
            chains.emplace_back();
            for (double iteration, value; in >> iteration >> value;)
                chains.back().push_back(value);
        }
        std::map<std::string, std::vector<double>> draws;
        std::ifstream index(out + "/CODAindex.txt");
        std::string name;
        for (std::size_t first, last; index >> name >> first >> last;)
            for (const auto& chain : chains)
                for (std::size_t i = first; i <= last && i <= chain.size(); ++i)
                    draws[name].push_back(chain[i - 1]);
        return draws;
    }

    testing::TempDir dir;
};

TEST_F(JagsRunTest, EveryLinkRunsToTheEndOnVaso) {
    for (const LinkInfo& info : Links()) {
        const auto draws =
            Fit(std::string(info.key), "vaso.txt", "--calentamiento 100 --iteraciones 100");
        const bool bernoulli =
            info.link == Link::Logit || info.link == Link::Probit || info.link == Link::Cloglog;
        EXPECT_EQ(bernoulli ? 3u : 4u, draws.size()) << info.key; // beta, and lambda or delta
        for (const char* beta : {"beta[1]", "beta[2]", "beta[3]"})
            EXPECT_EQ(300u, draws.count(beta) ? draws.at(beta).size() : 0) << info.key << beta;
    }
}

TEST_F(JagsRunTest, LogitPosteriorMeansAgreeWithMaximumLikelihood) {
    const auto draws = Fit("logit", "birthwt.txt", "--iteraciones 4000");
    // low ~ age + lwt + smoke + ht + ui, fitted by maximum likelihood.
    const std::vector<double> ml = {1.3998, -0.0341, -0.0154, 0.6475, 1.8933, 0.8846};
    for (std::size_t j = 0; j < ml.size(); ++j) {
        const std::string name = "beta[" + std::to_string(j + 1) + "]";
        ASSERT_EQ(1u, draws.count(name));
        const std::vector<double>& x = draws.at(name);
        ASSERT_EQ(12000u, x.size());
        double mean = 0, squares = 0;
        for (double v : x)
            mean += v / static_cast<double>(x.size());
        for (double v : x)
            squares += (v - mean) * (v - mean);
        const double sd = std::sqrt(squares / static_cast<double>(x.size() - 1));
        EXPECT_LT(std::abs(mean - ml[j]), 0.25 * sd)
            << name << ": media " << mean << ", sd " << sd << ", MV " << ml[j];
    }
}

} // namespace
} // namespace zento
