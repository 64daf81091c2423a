// Relative efficiency, Pareto k, LOO, WAIC and the comparison of three models against what loo
// computed on the same log-likelihood matrices (a case with k > 0.7, one with a constant
// log-likelihood and so an infinite k).
#include "fit/loo.h"
#include "golden.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zento::fit {
namespace {

using namespace testing;

LogLikelihood ReadLogLikelihood(const std::string& model) {
    const GoldenMatrix matrix = ReadGoldenMatrix("loglik_" + model + ".txt", false);
    LogLikelihood ll;
    ll.chains = matrix.chains;
    ll.iterations = matrix.iterations;
    for (std::size_t c = 0; c < matrix.columns.size(); ++c) {
        ll.cases.push_back(static_cast<std::int64_t>(c));
        ll.values.insert(ll.values.end(), matrix.columns[c].begin(), matrix.columns[c].end());
    }
    return ll;
}

void ExpectAgrees(const std::map<std::string, std::optional<double>>& golden,
                  const std::string& key, double value) {
    ASSERT_TRUE(golden.contains(key)) << key;
    EXPECT_TRUE(Agrees(golden.at(key), value))
        << key << ": R " << golden.at(key).value_or(NAN) << ", here " << value;
}

TEST(LooTest, EveryFigureAgreesWithLoo) {
    const auto golden = ReadGoldenValues("loo.txt");
    std::vector<Loo> models;
    for (const std::string name : {"a", "b", "c"}) {
        const LogLikelihood ll = ReadLogLikelihood(name);
        ASSERT_EQ(16u, ll.cases.size());
        const Psis psis = ParetoSmoothLoo(ll);
        const Loo loo = LooFromWeights(ll, psis);
        const Waic waic = WidelyApplicable(ll);
        const std::pair<const char*, Estimate> estimates[] = {
            {"elpd_loo", loo.elpd},   {"p_loo", loo.p},   {"looic", loo.looic},
            {"elpd_waic", waic.elpd}, {"p_waic", waic.p}, {"waic", waic.waic},
        };
        for (const auto& [quantity, estimate] : estimates) {
            ExpectAgrees(golden, name + "." + quantity, estimate.value);
            ExpectAgrees(golden, name + ".se_" + quantity, estimate.se);
        }
        for (std::size_t i = 0; i < ll.cases.size(); ++i) {
            const std::string n = "." + std::to_string(i + 1);
            ExpectAgrees(golden, name + ".elpd_loo" + n, loo.pointwiseElpd[i]);
            ExpectAgrees(golden, name + ".p_loo" + n, loo.pointwiseP[i]);
            ExpectAgrees(golden, name + ".pareto_k" + n, loo.paretoK[i]);
            ExpectAgrees(golden, name + ".r_eff" + n, psis.rEff[i]);
            ExpectAgrees(golden, name + ".elpd_waic" + n, waic.pointwiseElpd[i]);
        }
        models.push_back(loo);
    }
    const auto comparison = Compare(models);
    ASSERT_TRUE(comparison.ok());
    for (std::size_t r = 0; r < comparison->size(); ++r) {
        const std::string row = "compare." + std::to_string(r + 1);
        ExpectAgrees(golden, row + ".model", static_cast<double>((*comparison)[r].model + 1));
        ExpectAgrees(golden, row + ".elpd_diff", (*comparison)[r].elpdDiff);
        ExpectAgrees(golden, row + ".se_diff", (*comparison)[r].seDiff);
    }
    models.back().pointwiseElpd.pop_back();
    EXPECT_EQ(FitErrorKind::DifferentCases, Compare(models).error().kind);
}

} // namespace
} // namespace zento::fit
