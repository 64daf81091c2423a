// loo's psis: relative efficiency, tail length, the generalized Pareto fit and the smoothing.
#include "psis.h"

#include "ess.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zento::fit {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Below this a log-likelihood's exp may be subnormal, too coarse to divide by.
constexpr double kLowestExp = -700;

// loo's qgpd
double ParetoQuantile(double p, double k, double sigma) {
    if (std::isnan(sigma) || sigma <= 0)
        return std::numeric_limits<double>::quiet_NaN();
    return sigma * std::expm1(-k * std::log1p(-p)) / k;
}

// sum log(1 + a v) over x, sorted increasingly. The factors are multiplied in runs and each run
// takes one log: a log costs as much as twenty products, and rounding grows by no more than it
// does when the logs are summed. The factors' range is that of the two ends, which bounds how
// long a run may grow before its product leaves a double's range.
double SumOfLogs(double a, std::span<const double> x) {
    const double first = 1 + a * x.front();
    const double last = 1 + a * x.back();
    const double lo = std::min(first, last);
    const double hi = std::max(first, last);
    // Every factor lies within 2^-exponent and 2^exponent; a run's product within 2^+-960.
    const int exponent = lo > 0 && hi < kInfinity
                             ? std::max(std::abs(std::ilogb(lo)), std::abs(std::ilogb(hi))) + 1
                             : std::numeric_limits<int>::max();
    double sum = 0;
    if (exponent > 240) {
        for (double v : x)
            sum += std::log(1 + a * v);
        return sum;
    }
    const auto run = static_cast<std::size_t>(4 * std::min(240 / exponent, 4));
    std::size_t i = 0;
    for (; i + run <= x.size(); i += run) {
        double p[4] = {1, 1, 1, 1};
        for (std::size_t j = i; j < i + run; j += 4)
            for (std::size_t k = 0; k < 4; ++k)
                p[k] *= 1 + a * x[j + k];
        sum += std::log((p[0] * p[1]) * (p[2] * p[3]));
    }
    for (; i < x.size(); ++i)
        sum += std::log(1 + a * x[i]);
    return sum;
}

// loo's lx: the profile log-likelihood of theta, divided by the number of exceedances. It only
// weighs the grid of theta, so log(1 + t), within 1e-16 of log1p(t) and twice as fast, will do.
double ProfileLogLikelihood(double theta, std::span<const double> x) {
    const double a = -theta;
    const double k = SumOfLogs(a, x) / static_cast<double>(x.size());
    return std::log(a / k) - k - 1;
}

// The last length draws of lw in increasing order, ties in the draws' order as R's sort leaves
// them, into tail; gives the cutoff, the largest value below them, or NaN when there are too few
// comparable values. Only candidates are ordered: the draws at or above a threshold that a sample
// of every eighth draw puts a little below the tail (all of them, should it leave too few).
double SelectTail(std::span<const double> lw, std::size_t length, TailScratch& scratch,
                  std::vector<std::size_t>& tail) {
    const std::size_t s = lw.size();
    constexpr std::size_t kStride = 8;
    auto& candidates = scratch.candidates;
    candidates.resize(s);
    std::size_t count = 0;
    for (const bool sampled : {true, false}) {
        double threshold = -kInfinity;
        if (sampled) {
            if (s < 64 * kStride)
                continue;
            scratch.sample.clear();
            for (std::size_t i = 0; i < s; i += kStride)
                scratch.sample.push_back(lw[i]);
            const std::size_t n = scratch.sample.size();
            const auto wanted =
                std::min(n, static_cast<std::size_t>(1.25 * static_cast<double>((length + 1) * n) /
                                                     static_cast<double>(s)) +
                                8);
            const auto at = scratch.sample.end() - static_cast<std::ptrdiff_t>(wanted);
            std::nth_element(scratch.sample.begin(), at, scratch.sample.end());
            threshold = *at;
        }
        count = 0;
        for (std::size_t i = 0; i < s; ++i) {
            candidates[count] = {lw[i], i};
            count += lw[i] >= threshold;
        }
        if (count > length)
            break;
    }
    if (count <= length)
        return std::numeric_limits<double>::quiet_NaN();
    const auto first = candidates.begin();
    const auto split = first + static_cast<std::ptrdiff_t>(count - length);
    const auto last = first + static_cast<std::ptrdiff_t>(count);
    // Pairs order by value, then by draw.
    std::nth_element(first, split, last);
    const double cutoff = std::max_element(first, split)->first;
    std::sort(split, last);
    for (auto it = split; it != last; ++it)
        tail.push_back(it->second);
    return cutoff;
}

// Finds the tail of lw, log ratios relative to the largest, and smooths it. tail receives the
// tail's draws in increasing order of lw and smoothed their weights, exp(lw) from the fitted
// quantiles and at most 1; both are left empty when the tail is too short, flat or cannot be
// fitted. Gives Pareto's k, infinite when there was no fit.
double SmoothTail(std::span<const double> lw, std::int64_t tailLength, TailScratch& scratch,
                  std::vector<std::size_t>& tail, std::vector<double>& smoothed) {
    tail.clear();
    smoothed.clear();
    const std::size_t s = lw.size();
    const auto length = static_cast<std::size_t>(std::max<std::int64_t>(tailLength, 0));
    // loo needs five values in the tail and one below it, the cutoff.
    if (length < 5 || length >= s)
        return kInfinity;
    const double cutoff = SelectTail(lw, length, scratch, tail);
    if (tail.empty())
        return kInfinity;
    const double lowest = lw[tail.front()];
    const double highest = lw[tail.back()];
    if (std::abs(highest - lowest) < std::numeric_limits<double>::epsilon() / 100) {
        tail.clear();
        return kInfinity;
    }
    const double expCutoff = std::exp(cutoff);
    for (std::size_t i : tail)
        smoothed.push_back(std::exp(lw[i]) - expCutoff);
    const ParetoFit fit = FitGeneralizedPareto(smoothed);
    if (!std::isfinite(fit.k)) {
        tail.clear();
        smoothed.clear();
        return fit.k;
    }
    for (std::size_t i = 0; i < length; ++i) {
        const double p = (static_cast<double>(i) + 0.5) / static_cast<double>(length);
        // No smoothed weight above the largest raw one.
        smoothed[i] = std::min(ParetoQuantile(p, fit.k, fit.sigma) + expCutoff, 1.0);
    }
    return fit.k;
}

double RelativeEfficiencyOf(std::span<const double> likelihood, std::int64_t chains,
                            std::vector<std::span<const double>>& spans) {
    const ChainDraws draws(likelihood, chains);
    spans.clear();
    for (std::int64_t c = 0; c < draws.chains(); ++c)
        spans.push_back(draws.chain(c));
    const double rEff = EffectiveSampleSize(spans, AutocovarianceScale::LooPadded) /
                        static_cast<double>(likelihood.size());
    return std::isfinite(rEff) ? rEff : 1;
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
    std::vector<std::span<const double>> spans;
    return RelativeEfficiencyOf(likelihood, logLikelihood.chains(), spans);
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
        k = kInfinity;
    return {k, sigma};
}

SmoothedCase SmoothLogRatios(std::span<const double> logRatios, std::int64_t tailLength) {
    const double top = *std::max_element(logRatios.begin(), logRatios.end());
    SmoothedCase result;
    result.tailLength = tailLength;
    auto& lw = result.logWeights;
    lw.resize(logRatios.size());
    for (std::size_t i = 0; i < lw.size(); ++i)
        lw[i] = logRatios[i] - top;
    TailScratch scratch;
    std::vector<double> smoothed;
    std::vector<std::size_t> tail;
    result.paretoK = SmoothTail(lw, tailLength, scratch, tail, smoothed);
    for (std::size_t i = 0; i < tail.size(); ++i)
        lw[tail[i]] = std::log(smoothed[i]);
    for (double& w : lw)
        w += top;
    return result;
}

const CaseWeights& CaseSmoother::operator()(std::span<const double> logLikelihood,
                                            std::int64_t chains) {
    const std::size_t s = logLikelihood.size();
    m_likelihood.resize(s);
    m_logRatios.resize(s);
    m_weights.resize(s);
    double lowest = kInfinity;
    for (std::size_t i = 0; i < s; ++i) {
        m_likelihood[i] = std::exp(logLikelihood[i]);
        lowest = std::min(lowest, logLikelihood[i]);
    }
    // The log ratios are -log-likelihood; the largest is -lowest.
    for (std::size_t i = 0; i < s; ++i)
        m_logRatios[i] = -logLikelihood[i] + lowest;
    m_case.rEff = RelativeEfficiencyOf(m_likelihood, chains, m_chains);
    m_case.tailLength = ParetoTailLength(static_cast<std::int64_t>(s), m_case.rEff);
    m_case.paretoK = SmoothTail(m_logRatios, m_case.tailLength, m_scratch, m_tail, m_exceedances);
    // A raw weight, exp(lowest - ll), is the worst draw's likelihood over the draw's: a
    // division where the likelihood allows it, not an exp.
    if (lowest >= kLowestExp) {
        const double worst = std::exp(lowest);
        for (std::size_t i = 0; i < s; ++i)
            m_weights[i] = worst / m_likelihood[i];
    } else {
        for (std::size_t i = 0; i < s; ++i)
            m_weights[i] = std::exp(m_logRatios[i]);
    }
    for (std::size_t i = 0; i < m_tail.size(); ++i)
        m_weights[m_tail[i]] = m_exceedances[i];
    double sum = 0;
    for (double w : m_weights)
        sum += w;
    m_case.lowestLogLikelihood = lowest;
    m_case.likelihood = m_likelihood;
    m_case.logRatios = m_logRatios;
    m_case.weights = m_weights;
    m_case.tail = m_tail;
    m_case.weightSum = sum;
    m_case.plainSums = lowest >= kLowestExp;
    return m_case;
}

void NormalizedLogWeights(const CaseWeights& smoothed, std::span<double> lw) {
    std::copy(smoothed.logRatios.begin(), smoothed.logRatios.end(), lw.begin());
    for (std::size_t i : smoothed.tail)
        lw[i] = std::log(smoothed.weights[i]);
    // Back on the ratios' own scale, then normalized.
    const double top = -smoothed.lowestLogLikelihood;
    const double normalizer = top + std::log(smoothed.weightSum);
    for (double& w : lw)
        w = (w + top) - normalizer;
}

Psis ParetoSmoothLoo(const LogLikelihood& logLikelihood) {
    Psis psis;
    psis.draws = logLikelihood.draws();
    const std::size_t cases = logLikelihood.cases.size();
    const auto draws = static_cast<std::size_t>(psis.draws);
    psis.logWeights.resize(cases * draws);
    CaseSmoother smoother;
    for (std::size_t c = 0; c < cases; ++c) {
        const CaseWeights& smoothed = smoother(logLikelihood.column(c), logLikelihood.chains);
        NormalizedLogWeights(smoothed,
                             std::span<double>(psis.logWeights).subspan(c * draws, draws));
        psis.paretoK.push_back(smoothed.paretoK);
        psis.rEff.push_back(smoothed.rEff);
        psis.tailLength.push_back(smoothed.tailLength);
    }
    return psis;
}

} // namespace zento::fit
