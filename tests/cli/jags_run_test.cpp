// The generated JAGS files run in JAGS itself, as a user runs them: every link on a real data
// set. (zento-cli ajustar's test holds a posterior to the maximum-likelihood fit.)
#include "fit/coda.h"
#include "winbugs/models.h"

#include "common/process.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
    // there, as a user would; then the draws of every monitored node.
    fit::Draws Fit(const std::string& link, const char* example, const std::string& options) {
        const std::string out = dir.File(link);
        const auto quoted = [](const std::string& path) { return "'" + path + "'"; };
        const std::string command = quoted(ZENTO_CLI_PATH) + " jags " + link + " " +
                                    quoted(std::string(ZENTO_EXAMPLES_DIR) + "/" + example) + " " +
                                    options + " --directorio " + quoted(out) +
                                    " > /dev/null && cd " + quoted(out) +
                                    " && jags ejecutar.cmd > salida.txt 2>&1";
        EXPECT_EQ(0, testing::RunShell(command)) << link << "\n"
                                                 << testing::ReadFile(out + "/salida.txt");
        auto draws = fit::ReadCoda(out);
        EXPECT_TRUE(draws.ok()) << link;
        return draws ? *draws : fit::Draws{};
    }

    testing::TempDir dir;
};

TEST_F(JagsRunTest, EveryLinkRunsToTheEndOnVaso) {
    for (const LinkInfo& info : Links()) {
        const fit::Draws draws =
            Fit(std::string(info.key), "vaso.txt", "--calentamiento 100 --iteraciones 100");
        // beta[1..3], and lambda or delta
        EXPECT_EQ(info.extra ? 4u : 3u, draws.names.size()) << info.key;
        EXPECT_EQ(3 * 100, draws.chains * draws.iterations) << info.key;
    }
}

} // namespace
} // namespace zento
