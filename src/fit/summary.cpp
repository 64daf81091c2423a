// posterior's summaries: split chains, rank normalization, folding and the quantile indicators
// all feed one effective sample size (ess.h).
#include "summary.h"

#include "ess.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace zento::fit {

namespace {

bool AllFinite(std::span<const double> x) {
    return std::all_of(x.begin(), x.end(), [](double v) { return std::isfinite(v); });
}

// posterior's should_return_NA: a non-finite value, or a spread below machine epsilon.
bool NotAvailable(std::span<const double> x) {
    if (x.empty() || !AllFinite(x))
        return true;
    const auto [lo, hi] = std::minmax_element(x.begin(), x.end());
    return std::abs(*hi - *lo) < std::numeric_limits<double>::epsilon();
}

// R's mean: a long double sum, then the mean of the residuals added back.
long double RMean(std::span<const double> x) {
    const auto n = static_cast<long double>(x.size());
    long double sum = 0;
    for (double v : x)
        sum += v;
    long double mean = sum / n;
    long double residual = 0;
    for (double v : x)
        residual += v - mean;
    return mean + residual / n;
}

double RVariance(std::span<const double> x) {
    const long double mean = RMean(x);
    long double sum = 0;
    for (double v : x)
        sum += (v - mean) * (v - mean);
    return static_cast<double>(sum / static_cast<long double>(x.size() - 1));
}

double SortedQuantile(const std::vector<double>& sorted, double p) {
    const double index = 1 + static_cast<double>(sorted.size() - 1) * p;
    const auto lo = static_cast<std::size_t>(std::floor(index));
    const auto hi = static_cast<std::size_t>(std::ceil(index));
    double q = sorted[lo - 1];
    const double h = index - static_cast<double>(lo);
    if (index > static_cast<double>(lo) && sorted[hi - 1] != q)
        q = (1 - h) * q + h * sorted[hi - 1];
    return q;
}

std::vector<double> Sorted(std::span<const double> x) {
    std::vector<double> sorted(x.begin(), x.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

// posterior's .split_chains: each chain's first and second halves become chains of their own;
// of an odd number of iterations the middle one is dropped.
struct SplitDraws {
    std::vector<double> values;
    std::size_t chains = 0;
    std::size_t length = 0;
    std::vector<std::span<const double>> spans() const {
        std::vector<std::span<const double>> result;
        for (std::size_t c = 0; c < chains; ++c)
            result.push_back(std::span<const double>(values).subspan(c * length, length));
        return result;
    }
};

constexpr std::size_t kDropped = std::numeric_limits<std::size_t>::max();

// Where the split chains put draw d of chains of n iterations each (chains draws in all), or
// kDropped.
std::size_t SplitIndex(std::size_t d, std::size_t n, std::size_t chains) {
    if (n < 2)
        return d < n * chains ? d : kDropped;
    const std::size_t c = d / n, s = d % n, half = n / 2;
    if (c >= chains)
        return kDropped;
    if (s < half)
        return 2 * c * half + s;
    if (s >= (n + 1) / 2)
        return (2 * c + 1) * half + s - (n + 1) / 2;
    return kDropped;
}

// The split chains of f(x) for the draws x.
template <class F> SplitDraws SplitOf(const ChainDraws& draws, const F& f) {
    const auto n = static_cast<std::size_t>(draws.iterations());
    const auto chains = static_cast<std::size_t>(draws.chains());
    SplitDraws split;
    split.chains = n < 2 ? chains : 2 * chains;
    split.length = n < 2 ? n : n / 2;
    split.values.resize(split.chains * split.length);
    const auto all = draws.all();
    for (std::size_t d = 0; d < all.size(); ++d)
        if (const std::size_t at = SplitIndex(d, n, chains); at != kDropped)
            split.values[at] = f(all[d]);
    return split;
}

SplitDraws Split(const ChainDraws& draws) {
    return SplitOf(draws, [](double x) { return x; });
}

std::optional<double> Ess(const SplitDraws& split) {
    if (split.length < 3 || NotAvailable(split.values))
        return std::nullopt;
    const auto spans = split.spans();
    const double ess = EffectiveSampleSize(spans, AutocovarianceScale::Biased);
    return std::isfinite(ess) ? std::optional<double>(ess) : std::nullopt;
}

// posterior's .rhat over chains as they are given.
std::optional<double> BasicRhat(const SplitDraws& split) {
    if (split.length < 2 || NotAvailable(split.values))
        return std::nullopt;
    const auto spans = split.spans();
    std::vector<double> means, variances;
    for (const auto chain : spans) {
        means.push_back(static_cast<double>(RMean(chain)));
        variances.push_back(RVariance(chain));
    }
    const auto n = static_cast<double>(split.length);
    const double between = split.chains > 1 ? n * RVariance(means) : 0;
    const double within = static_cast<double>(RMean(variances));
    const double rhat = std::sqrt((between / within + n - 1) / n);
    return std::isfinite(rhat) ? std::optional<double>(rhat) : std::nullopt;
}

// What several measures start from, worked out once from one sort of the draws: the draws in
// order, and the split chains of the draws and of their distances to the median, normalized by
// rank.
struct Prepared {
    std::vector<double> sorted;
    SplitDraws bulk;
    SplitDraws folded;
};

// posterior's z_scale of the split chains: average ranks of ties, then
// qnorm((r - 3/8) / (S + 1/4)). increasing holds every draw in increasing order of value(d);
// a rank without ties takes its score from scores.
template <class Value>
SplitDraws Normalized(const ChainDraws& draws, std::span<const std::size_t> increasing,
                      const Value& value, const std::vector<double>& scores) {
    const auto n = static_cast<std::size_t>(draws.iterations());
    const auto chains = static_cast<std::size_t>(draws.chains());
    SplitDraws split = SplitOf(draws, [](double) { return 0.0; });
    const std::size_t s = split.values.size();
    std::size_t rank = 0; // split draws ranked so far
    for (std::size_t i = 0; i < increasing.size();) {
        if (SplitIndex(increasing[i], n, chains) == kDropped) {
            ++i;
            continue;
        }
        // A run of equal values, the dropped draws among them skipped.
        const double v = value(increasing[i]);
        std::size_t end = i + 1, tied = 1;
        for (; end < increasing.size() && value(increasing[end]) == v; ++end)
            tied += SplitIndex(increasing[end], n, chains) != kDropped;
        const std::size_t j = rank + tied - 1;
        const double r = (static_cast<double>(rank + j) + 2) / 2; // average of rank+1 .. j+1
        const double score = tied == 1
                                 ? scores[rank]
                                 : NormalQuantile((r - 0.375) / (static_cast<double>(s) + 0.25));
        for (; i < end; ++i)
            if (const std::size_t at = SplitIndex(increasing[i], n, chains); at != kDropped)
                split.values[at] = score;
        rank += tied;
    }
    return split;
}

Prepared Prepare(const ChainDraws& draws) {
    const auto all = draws.all();
    std::vector<std::pair<double, std::size_t>> pairs(all.size());
    for (std::size_t d = 0; d < all.size(); ++d)
        pairs[d] = {all[d], d};
    std::sort(pairs.begin(), pairs.end());
    Prepared prepared;
    std::vector<std::size_t> increasing(all.size());
    prepared.sorted.resize(all.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        prepared.sorted[i] = pairs[i].first;
        increasing[i] = pairs[i].second;
    }
    // The scores of ranks without ties, the same for the draws and their distances.
    const std::size_t s = SplitOf(draws, [](double) { return 0.0; }).values.size();
    std::vector<double> scores(s);
    for (std::size_t i = 0; i < s; ++i) {
        const double r = (static_cast<double>(i + i) + 2) / 2;
        scores[i] = NormalQuantile((r - 0.375) / (static_cast<double>(s) + 0.25));
    }
    prepared.bulk = Normalized(
        draws, increasing, [&](std::size_t d) { return all[d]; }, scores);
    // The distances to the median grow from it both ways: the draws below it taken downwards
    // and those above it upwards, merged.
    const double median = SortedQuantile(prepared.sorted, 0.5);
    const auto distance = [&](std::size_t d) { return std::abs(all[d] - median); };
    const auto above = static_cast<std::size_t>(
        std::lower_bound(prepared.sorted.begin(), prepared.sorted.end(), median) -
        prepared.sorted.begin());
    std::vector<std::size_t> byDistance;
    byDistance.reserve(all.size());
    std::size_t down = above, up = above;
    while (down > 0 || up < increasing.size()) {
        if (up == increasing.size() ||
            (down > 0 && distance(increasing[down - 1]) <= distance(increasing[up])))
            byDistance.push_back(increasing[--down]);
        else
            byDistance.push_back(increasing[up++]);
    }
    prepared.folded = Normalized(draws, byDistance, distance, scores);
    return prepared;
}

// Nearly constant draws still have ranks: like posterior, only the rank-normalized values are
// checked for a spread. The tail R-hat is that of the distances to the median.
std::optional<double> RhatFrom(const Prepared& prepared) {
    const auto bulk = BasicRhat(prepared.bulk);
    const auto tail = BasicRhat(prepared.folded);
    if (!bulk || !tail)
        return std::nullopt;
    return std::max(*bulk, *tail);
}

std::optional<double> EssTailFrom(const ChainDraws& draws, const Prepared& prepared) {
    if (NotAvailable(draws.all()))
        return std::nullopt;
    std::optional<double> smallest;
    for (double p : {0.05, 0.95}) {
        const double q = SortedQuantile(prepared.sorted, p);
        const auto ess = Ess(SplitOf(draws, [q](double x) { return x <= q ? 1.0 : 0.0; }));
        if (!ess)
            return std::nullopt;
        smallest = std::min(smallest.value_or(*ess), *ess);
    }
    return smallest;
}

bool Usable(const ChainDraws& draws) {
    return !draws.all().empty() && AllFinite(draws.all());
}

} // namespace

std::optional<double> Mean(std::span<const double> x) {
    if (x.empty() || !AllFinite(x))
        return std::nullopt;
    return static_cast<double>(RMean(x));
}

std::optional<double> StandardDeviation(std::span<const double> x) {
    if (x.size() < 2 || !AllFinite(x))
        return std::nullopt;
    return std::sqrt(RVariance(x));
}

std::optional<double> Quantile(std::span<const double> x, double p) {
    if (x.empty() || !AllFinite(x))
        return std::nullopt;
    return SortedQuantile(Sorted(x), p);
}

std::optional<double> EssMean(const ChainDraws& draws) {
    return Ess(Split(draws));
}

std::optional<double> McseMean(const ChainDraws& draws) {
    const auto ess = EssMean(draws);
    const auto sd = StandardDeviation(draws.all());
    if (!ess || !sd)
        return std::nullopt;
    return *sd / std::sqrt(*ess);
}

std::optional<double> Rhat(const ChainDraws& draws) {
    return Usable(draws) ? RhatFrom(Prepare(draws)) : std::nullopt;
}

std::optional<double> EssBulk(const ChainDraws& draws) {
    return Usable(draws) ? Ess(Prepare(draws).bulk) : std::nullopt;
}

std::optional<double> EssTail(const ChainDraws& draws) {
    return Usable(draws) ? EssTailFrom(draws, Prepare(draws)) : std::nullopt;
}

Summary Summarise(const ChainDraws& draws) {
    Summary summary;
    if (!Usable(draws))
        return summary;
    const Prepared prepared = Prepare(draws);
    summary.mean = Mean(draws.all());
    summary.sd = StandardDeviation(draws.all());
    for (std::size_t i = 0; i < kSummaryProbabilities.size(); ++i)
        summary.quantiles[i] = SortedQuantile(prepared.sorted, kSummaryProbabilities[i]);
    summary.mcseMean = McseMean(draws);
    summary.rhat = RhatFrom(prepared);
    summary.essBulk = Ess(prepared.bulk);
    summary.essTail = EssTailFrom(draws, prepared);
    return summary;
}

double NormalQuantile(double p) {
    if (!(p > 0 && p < 1))
        return p == 0   ? -std::numeric_limits<double>::infinity()
               : p == 1 ? std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::quiet_NaN();
    const double q = p - 0.5;
    if (std::abs(q) <= 0.425) {
        const double r = 0.180625 - q * q;
        return q *
               (((((((r * 2509.0809287301226727 + 33430.575583588128105) * r +
                     67265.770927008700853) *
                        r +
                    45921.953931549871457) *
                       r +
                   13731.693765509461125) *
                      r +
                  1971.5909503065514427) *
                     r +
                 133.14166789178437745) *
                    r +
                3.387132872796366608) /
               (((((((r * 5226.495278852545925 + 28729.085735721942674) * r +
                     39307.89580009271061) *
                        r +
                    21213.794301586595867) *
                       r +
                   5394.1960214247511077) *
                      r +
                  687.1870074920579083) *
                     r +
                 42.313330701600911252) *
                    r +
                1.);
    }
    double r = std::sqrt(-std::log(q < 0 ? p : 1 - p));
    double value;
    if (r <= 5) {
        r -= 1.6;
        value = (((((((r * 7.7454501427834140764e-4 + .0227238449892691845833) * r +
                      .24178072517745061177) *
                         r +
                     1.27045825245236838258) *
                        r +
                    3.64784832476320460504) *
                       r +
                   5.7694972214606914055) *
                      r +
                  4.6303378461565452959) *
                     r +
                 1.42343711074968357734) /
                (((((((r * 1.05075007164441684324e-9 + 5.475938084995344946e-4) * r +
                      .0151986665636164571966) *
                         r +
                     .14810397642748007459) *
                        r +
                    .68976733498510000455) *
                       r +
                   1.6763848301838038494) *
                      r +
                  2.05319162663775882187) *
                     r +
                 1.);
    } else {
        r -= 5;
        value = (((((((r * 2.01033439929228813265e-7 + 2.71155556874348757815e-5) * r +
                      .0012426609473880784386) *
                         r +
                     .026532189526576123093) *
                        r +
                    .29656057182850489123) *
                       r +
                   1.7848265399172913358) *
                      r +
                  5.4637849111641143699) *
                     r +
                 6.6579046435011037772) /
                (((((((r * 2.04426310338993978564e-15 + 1.4215117583164458887e-7) * r +
                      1.8463183175100546818e-5) *
                         r +
                     7.868691311456132591e-4) *
                        r +
                    .0148753612908506148525) *
                       r +
                   .13692988092273580531) *
                      r +
                  .59983220655588793769) *
                     r +
                 1.);
    }
    return q < 0 ? -value : value;
}

} // namespace zento::fit
