// The data a model was fitted to, read from the R dump zento-cli jags writes, and the
// log-likelihood matrix built from it and the draws.
#include "fit/loglik.h"
#include "fit/rdump.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zento::fit {
namespace {

constexpr const char* kDump = "N <- 4\r\nk <- 3\r\ny <- c(0, 1, NA,\r\n  1)\r\n"
                              "x1 <- c(1.5, -2e-1, NA, +3)\r\nx2<-c(.5,5.,0,1E+2)\r\n";

TEST(RDumpTest, ReadsScalarsVectorsAcrossLinesAndNA) {
    const auto dump = ParseRDump(kDump, "datos.R");
    ASSERT_TRUE(dump.ok()) << DescribeFitError(dump.error());
    ASSERT_EQ(5u, dump->variables.size());
    EXPECT_EQ((std::vector<double>{4}), dump->find("N")->values);
    EXPECT_FALSE(dump->find("N")->vector);
    const auto& y = dump->find("y")->values;
    EXPECT_EQ(4u, y.size());
    EXPECT_TRUE(std::isnan(y[2]));
    EXPECT_EQ((std::vector<double>{0.5, 5, 0, 100}), dump->find("x2")->values);
    EXPECT_EQ(6, dump->find("x2")->line);
}

TEST(RDumpTest, RefusesWhatIsNotTheSubset) {
    struct Case {
        const char* text;
        FitErrorKind kind;
        std::int64_t line;
    };
    using K = FitErrorKind;
    const Case cases[] = {
        {"y <- c(0, 1,\n", K::Truncated, 2},
        {"y <- c(0 1)\n", K::DumpSyntax, 1},
        {"y = 3\n", K::DumpSyntax, 1},
        {"y <- abc\n", K::DumpSyntax, 1},
        {"y <- 1\nx <- 2 3\n", K::DumpSyntax, 2},
        {"y <- 1\n\ny <- 2\n", K::DuplicateName, 3},
        {"y <- Inf\n", K::DumpSyntax, 1},
        {"1y <- 2\n", K::DumpSyntax, 1},
        {"y <- c(1,,2)\n", K::DumpSyntax, 1},
        {"y <- \"a\"\n", K::DumpSyntax, 1},
        {"y <- \n", K::DumpSyntax, 1},
        {"y <- --1\n", K::DumpSyntax, 1},
    };
    for (const Case& c : cases) {
        const auto dump = ParseRDump(c.text, "datos.R");
        ASSERT_FALSE(dump.ok()) << c.text;
        EXPECT_EQ(c.kind, dump.error().kind) << c.text;
        EXPECT_EQ(c.line, dump.error().line) << c.text;
    }
}

TEST(FitDataTest, TakesTheModelsColumnsOrSaysWhatIsWrong) {
    const auto dump = ParseRDump(kDump, "datos.R");
    const std::vector<std::string> columns = {"y", "x1", "x2"};
    const auto data = FitDataFromDump(*dump, columns);
    ASSERT_TRUE(data.ok()) << DescribeFitError(data.error());
    EXPECT_EQ((std::vector<std::string>{"x1", "x2"}), data->covariateNames);
    EXPECT_EQ(-0.2, data->covariates[0][1]);

    struct Case {
        const char* text;
        std::vector<std::string> columns;
        FitErrorKind kind;
    };
    using K = FitErrorKind;
    const Case cases[] = {
        {"y <- c(0, 1)\n", {"y", "x"}, K::MissingColumn},
        {"y <- c(0, 1)\nx <- c(1, 2, 3)\n", {"y", "x"}, K::ColumnLength},
        {"y <- c(0, 2)\n", {"y"}, K::NotBinary},
        {"y <- c(0, 1)\nx <- c(1, NA)\n", {"y", "x"}, K::MissingCovariate},
    };
    for (const Case& c : cases) {
        const auto refused = FitDataFromDump(*ParseRDump(c.text, "datos.R"), c.columns);
        ASSERT_FALSE(refused.ok()) << c.text;
        EXPECT_EQ(c.kind, refused.error().kind) << c.text;
    }
}

TEST(LogLikelihoodTest, OneValuePerDrawAndObservedCase) {
    const auto dump = ParseRDump(kDump, "datos.R");
    const std::vector<std::string> columns = {"y", "x1", "x2"};
    const FitData data = *FitDataFromDump(*dump, columns);
    Draws draws;
    draws.names = {"beta[1]", "beta[2]", "beta[3]", "delta"};
    draws.chains = 2;
    draws.iterations = 1;
    draws.values = {0.5, -1, 2, 0.1, 0.01, -0.02, 0.3, 0.4};
    const auto ll = BuildLogLikelihood(Link::Logit, draws, data);
    ASSERT_TRUE(ll.ok()) << DescribeFitError(ll.error());
    EXPECT_EQ((std::vector<std::int64_t>{0, 1, 3}), ll->cases); // case 3's response is NA
    const double m = -1 + 0.1 * -0.2 + -0.02 * 5;               // the second draw (chain 2), case 2
    EXPECT_NEAR(-std::log1p(std::exp(-m)), ll->column(1)[1], 1e-15);
    EXPECT_TRUE(BuildLogLikelihood(Link::SkewProbitCDS, draws, data).ok());

    const auto refusal = [&](Link link, Draws d) {
        return BuildLogLikelihood(link, d, data).error().kind;
    };
    EXPECT_EQ(FitErrorKind::MissingParameter, refusal(Link::Scobit, draws));
    Draws fewer = draws;
    fewer.names[2] = "gamma";
    EXPECT_EQ(FitErrorKind::MissingParameter, refusal(Link::Logit, fewer));
    Draws more = draws;
    more.names[3] = "beta[4]";
    EXPECT_EQ(FitErrorKind::ParameterCount, refusal(Link::Logit, more));
    FitData unobserved = data;
    unobserved.response.assign(4, NAN);
    EXPECT_EQ(FitErrorKind::NoCases,
              BuildLogLikelihood(Link::Logit, draws, unobserved).error().kind);
    // exp(-e^800) is 0: the observed 0 of the first case is impossible under that draw.
    Draws extreme = draws;
    extreme.values[0] = 800;
    const auto error = BuildLogLikelihood(Link::Cloglog, extreme, data).error();
    EXPECT_EQ(FitErrorKind::NotFiniteLikelihood, error.kind);
    EXPECT_EQ("1", error.expected);
    EXPECT_EQ("1", error.subject);
}

} // namespace
} // namespace zento::fit
