// LOO and WAIC estimates from the log-likelihood and the smoothed weights, and their comparison.
#include "loo.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

namespace zento::fit {

namespace {

// loo's table_of_estimates for one column: the sum and sqrt(n var).
Estimate Summed(const std::vector<double>& pointwise) {
    const auto n = static_cast<double>(pointwise.size());
    const double sum = std::accumulate(pointwise.begin(), pointwise.end(), 0.0);
    double squares = 0;
    for (double v : pointwise)
        squares += (v - sum / n) * (v - sum / n);
    return {sum, std::sqrt(n * squares / (n - 1))};
}

double LogMeanExp(std::span<const double> x) {
    return LogSumExp(x) - std::log(static_cast<double>(x.size()));
}

// log sum_s exp(ll_s + lw_s), with sum a buffer as long as ll.
double WeightedElpd(std::span<const double> ll, std::span<const double> lw,
                    std::vector<double>& sum) {
    std::transform(ll.begin(), ll.end(), lw.begin(), sum.begin(), std::plus<>());
    return LogSumExp(sum);
}

void AddCase(Loo& loo, double elpd, double lpd) {
    loo.pointwiseElpd.push_back(elpd);
    loo.pointwiseP.push_back(lpd - elpd);
}

void Total(Loo& loo) {
    std::vector<double> looic;
    for (double elpd : loo.pointwiseElpd)
        looic.push_back(-2 * elpd);
    loo.elpd = Summed(loo.pointwiseElpd);
    loo.p = Summed(loo.pointwiseP);
    loo.looic = Summed(looic);
}

} // namespace

Loo LooFromWeights(const LogLikelihood& logLikelihood, const Psis& psis) {
    Loo loo;
    std::vector<double> sum(static_cast<std::size_t>(logLikelihood.draws()));
    for (std::size_t c = 0; c < logLikelihood.cases.size(); ++c) {
        const auto ll = logLikelihood.column(c);
        AddCase(loo, WeightedElpd(ll, psis.column(c), sum), LogMeanExp(ll));
    }
    loo.paretoK = psis.paretoK;
    Total(loo);
    return loo;
}

// The smoothing's weights used as they come, without normalized logarithms: exp(ll_s) w_s is a
// product, and the sums are of plain numbers.
Loo LeaveOneOut(const LogLikelihood& logLikelihood) {
    Loo loo;
    const auto draws = static_cast<std::size_t>(logLikelihood.draws());
    std::vector<double> lw(draws), sum(draws);
    CaseSmoother smoother;
    for (std::size_t c = 0; c < logLikelihood.cases.size(); ++c) {
        const auto ll = logLikelihood.column(c);
        const CaseWeights& smoothed = smoother(ll, logLikelihood.chains);
        if (smoothed.plainSums) {
            double weighted = 0, likelihood = 0;
            for (std::size_t s = 0; s < draws; ++s) {
                weighted += smoothed.likelihood[s] * smoothed.weights[s];
                likelihood += smoothed.likelihood[s];
            }
            AddCase(loo, std::log(weighted / smoothed.weightSum),
                    std::log(likelihood / static_cast<double>(draws)));
        } else {
            NormalizedLogWeights(smoothed, lw);
            AddCase(loo, WeightedElpd(ll, lw, sum), LogMeanExp(ll));
        }
        loo.paretoK.push_back(smoothed.paretoK);
    }
    Total(loo);
    return loo;
}

Waic WidelyApplicable(const LogLikelihood& logLikelihood) {
    Waic waic;
    std::vector<double> pointwiseP, pointwiseWaic;
    for (std::size_t c = 0; c < logLikelihood.cases.size(); ++c) {
        const auto ll = logLikelihood.column(c);
        const auto n = static_cast<double>(ll.size());
        const double mean = std::accumulate(ll.begin(), ll.end(), 0.0) / n;
        double squares = 0;
        for (double v : ll)
            squares += (v - mean) * (v - mean);
        const double p = squares / (n - 1);
        const double elpd = LogMeanExp(ll) - p;
        waic.pointwiseElpd.push_back(elpd);
        pointwiseP.push_back(p);
        pointwiseWaic.push_back(-2 * elpd);
    }
    waic.elpd = Summed(waic.pointwiseElpd);
    waic.p = Summed(pointwiseP);
    waic.waic = Summed(pointwiseWaic);
    return waic;
}

FitResult<std::vector<Comparison>> Compare(std::span<const Loo> models) {
    if (models.empty())
        return MakeFitError(FitErrorKind::NoDraws, {});
    const std::size_t cases = models.front().pointwiseElpd.size();
    for (const Loo& model : models)
        if (model.pointwiseElpd.size() != cases)
            return MakeFitError(FitErrorKind::DifferentCases, {}, 0, std::to_string(cases),
                                std::to_string(model.pointwiseElpd.size()));
    std::vector<std::size_t> order(models.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return models[a].elpd.value > models[b].elpd.value;
    });
    const Loo& best = models[order.front()];
    std::vector<Comparison> rows;
    for (std::size_t m : order) {
        std::vector<double> diffs(cases);
        for (std::size_t i = 0; i < cases; ++i)
            diffs[i] = models[m].pointwiseElpd[i] - best.pointwiseElpd[i];
        const Estimate summed = Summed(diffs);
        rows.push_back({m, summed.value, summed.se});
    }
    return rows;
}

} // namespace zento::fit
