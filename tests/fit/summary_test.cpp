// Every summary measure of draws chosen to be awkward (poor mixing, ties, heavy tails, constant,
// nearly constant, an odd number of iterations) against what posterior computed on them.
#include "fit/summary.h"
#include "golden.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zento::fit {
namespace {

using namespace testing;

TEST(SummaryTest, EveryMeasureAgreesWithPosterior) {
    const GoldenMatrix draws = ReadGoldenMatrix("draws.txt", true);
    const auto golden = ReadGoldenValues("summaries.txt");
    ASSERT_EQ(9u, draws.names.size());
    for (std::size_t v = 0; v < draws.names.size(); ++v) {
        const Summary s = Summarise(ChainDraws(draws.columns[v], draws.chains));
        const std::pair<const char*, std::optional<double>> measures[] = {
            {"mean", s.mean},          {"sd", s.sd},
            {"mcse_mean", s.mcseMean}, {"q2.5", s.quantiles[0]},
            {"q25", s.quantiles[1]},   {"q50", s.quantiles[2]},
            {"q75", s.quantiles[3]},   {"q97.5", s.quantiles[4]},
            {"rhat", s.rhat},          {"ess_bulk", s.essBulk},
            {"ess_tail", s.essTail},
        };
        for (const auto& [measure, value] : measures) {
            const std::string key = draws.names[v] + "." + measure;
            ASSERT_TRUE(golden.contains(key)) << key;
            EXPECT_TRUE(Agrees(golden.at(key), value))
                << key << ": R " << golden.at(key).value_or(NAN) << ", here "
                << value.value_or(NAN);
        }
    }
}

TEST(SummaryTest, NormalQuantileInvertsTheDistributionFunction) {
    for (double p : {1e-300, 1e-20, 1e-8, 0.001, 0.02425, 0.3, 0.5, 0.7, 0.97575, 0.999999}) {
        const double z = NormalQuantile(p);
        const double back = 0.5 * std::erfc(-z / std::sqrt(2.0));
        EXPECT_NEAR(p, back, 1e-12 * p) << p; // the tails amplify rounding by z^2
    }
}

} // namespace
} // namespace zento::fit
