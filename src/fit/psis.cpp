// loo's psis: relative efficiency, tail length, the generalized Pareto fit and the smoothing.
#include "psis.h"

#include "ess.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zento::fit {

namespace {

// loo's qgpd
double ParetoQuantile(double p, double k, double sigma) {
    if (std::isnan(sigma) || sigma <= 0)
        return std::numeric_limits<double>::quiet_NaN();
    return sigma * std::expm1(-k * std::log1p(-p)) / k;
}

// loo's lx: the profile log-likelihood of theta, divided by the number of exceedances. It only
// weighs the grid of theta, so log(1 + t), within 1e-16 of log1p(t) and twice as fast, will do.
double ProfileLogLikelihood(double theta, std::span<const double> x) {
    const double a = -theta;
    double sum = 0;
    for (double v : x)
        sum += std::log(1 + a * v);
    const double k = sum / static_cast<double>(x.size());
    return std::log(a / k) - k - 1;
}

} // namespace

double LogSumExp(std::span<const double> x) {
    const double top = *std::max_element(x.begin(), x.end());
    if (!std::isfinite(top))
        return top;
    double sum = 0;
    for (double v : x)
        sum += std::exp(v - top);
    return top + std::log(sum);
}

double RelativeEfficiency(const ChainDraws& logLikelihood) {
    std::vector<double> likelihood(logLikelihood.all().size());
    std::transform(logLikelihood.all().begin(), logLikelihood.all().end(), likelihood.begin(),
                   [](double v) { return std::exp(v); });
    const ChainDraws draws(likelihood, logLikelihood.chains());
    std::vector<std::span<const double>> chains;
    for (std::int64_t c = 0; c < draws.chains(); ++c)
        chains.push_back(draws.chain(c));
    const double rEff = EffectiveSampleSize(chains, AutocovarianceScale::LooPadded) /
                        static_cast<double>(likelihood.size());
    return std::isfinite(rEff) ? rEff : 1;
}

std::int64_t ParetoTailLength(std::int64_t draws, double rEff) {
    const auto s = static_cast<double>(draws);
    return static_cast<std::int64_t>(std::ceil(std::min(0.2 * s, 3 * std::sqrt(s / rEff))));
}

ParetoFit FitGeneralizedPareto(std::span<const double> x) {
    const std::size_t n = x.size();
    constexpr double kPrior = 3;
    const std::size_t m = 30 + static_cast<std::size_t>(std::floor(std::sqrt(n)));
    const double xstar = x[static_cast<std::size_t>(std::floor(n / 4.0 + 0.5)) - 1];
    std::vector<double> theta(m), logLikelihood(m);
    for (std::size_t j = 0; j < m; ++j) {
        theta[j] = 1 / x[n - 1] +
                   (1 - std::sqrt(static_cast<double>(m) / (static_cast<double>(j) + 0.5))) /
                       kPrior / xstar;
        logLikelihood[j] = static_cast<double>(n) * ProfileLogLikelihood(theta[j], x);
    }
    const double normalizer = LogSumExp(logLikelihood);
    double thetaHat = 0;
    for (std::size_t j = 0; j < m; ++j)
        thetaHat += theta[j] * std::exp(logLikelihood[j] - normalizer);
    double sum = 0;
    for (double v : x)
        sum += std::log1p(-thetaHat * v);
    double k = sum / static_cast<double>(n);
    const double sigma = -k / thetaHat;
    constexpr double kPriorWeight = 10;
    const auto nd = static_cast<double>(n);
    k = k * nd / (nd + kPriorWeight) + kPriorWeight * 0.5 / (nd + kPriorWeight);
    if (std::isnan(k))
        k = std::numeric_limits<double>::infinity();
    return {k, sigma};
}

SmoothedCase SmoothLogRatios(std::span<const double> logRatios, std::int64_t tailLength) {
    const std::size_t s = logRatios.size();
    const double top = *std::max_element(logRatios.begin(), logRatios.end());
    SmoothedCase result;
    result.tailLength = tailLength;
    result.paretoK = std::numeric_limits<double>::infinity();
    result.logWeights.resize(s);
    for (std::size_t i = 0; i < s; ++i)
        result.logWeights[i] = logRatios[i] - top;
    auto& lw = result.logWeights;
    const auto tail = static_cast<std::size_t>(std::max<std::int64_t>(tailLength, 0));
    // loo needs five values in the tail and one below it, the cutoff.
    if (tail >= 5 && tail < s) {
        // Only the tail needs ordering. Its smallest value splits the draws (ties at it fill
        // the tail up to its length); the cutoff is the largest value below the tail.
        std::vector<double> copy(lw);
        const auto split = copy.begin() + static_cast<std::ptrdiff_t>(s - tail);
        std::nth_element(copy.begin(), split, copy.end());
        const double lowest = *split;
        const double cutoff = *std::max_element(copy.begin(), split);
        std::vector<std::size_t> order;
        order.reserve(tail);
        for (std::size_t i = 0; i < s; ++i)
            if (lw[i] > lowest)
                order.push_back(i);
        for (std::size_t i = 0; i < s && order.size() < tail; ++i)
            if (lw[i] == lowest)
                order.push_back(i);
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return lw[a] < lw[b]; });
        const double highest = lw[order.back()];
        if (std::abs(highest - lowest) >= std::numeric_limits<double>::epsilon() / 100) {
            const double expCutoff = std::exp(cutoff);
            std::vector<double> exceedances;
            for (std::size_t i : order)
                exceedances.push_back(std::exp(lw[i]) - expCutoff);
            const ParetoFit fit = FitGeneralizedPareto(exceedances);
            result.paretoK = fit.k;
            if (std::isfinite(fit.k)) {
                for (std::size_t i = 0; i < tail; ++i) {
                    const double p = (static_cast<double>(i) + 0.5) / static_cast<double>(tail);
                    lw[order[i]] = std::log(ParetoQuantile(p, fit.k, fit.sigma) + expCutoff);
                }
            }
        }
    }
    // No smoothed weight above the largest raw one.
    for (double& w : lw) {
        if (w > 0)
            w = 0;
        w += top;
    }
    return result;
}

Psis ParetoSmoothLoo(const LogLikelihood& logLikelihood) {
    Psis psis;
    psis.draws = logLikelihood.draws();
    const std::size_t cases = logLikelihood.cases.size();
    psis.logWeights.reserve(cases * static_cast<std::size_t>(psis.draws));
    std::vector<double> ratios(static_cast<std::size_t>(psis.draws));
    for (std::size_t c = 0; c < cases; ++c) {
        const auto column = logLikelihood.column(c);
        const double rEff = RelativeEfficiency(ChainDraws(column, logLikelihood.chains));
        std::transform(column.begin(), column.end(), ratios.begin(), [](double v) { return -v; });
        SmoothedCase smoothed = SmoothLogRatios(ratios, ParetoTailLength(psis.draws, rEff));
        const double normalizer = LogSumExp(smoothed.logWeights);
        for (double w : smoothed.logWeights)
            psis.logWeights.push_back(w - normalizer);
        psis.paretoK.push_back(smoothed.paretoK);
        psis.rEff.push_back(rEff);
        psis.tailLength.push_back(smoothed.tailLength);
    }
    return psis;
}

} // namespace zento::fit
