// Posterior summaries of one quantity's draws, each as the R package posterior 1.x computes it
// (Vehtari, Gelman, Simpson, Carpenter and Buerkner 2021). A measure that posterior gives as NA
// (too few iterations, constant or non-finite draws) is nullopt here.
#pragma once

#include "draws.h"

#include <array>
#include <optional>
#include <span>

namespace zento::fit {

std::optional<double> Mean(std::span<const double> x);
std::optional<double> StandardDeviation(std::span<const double> x); // denominator n - 1
// R's default quantile (type 7) of x at probability p.
std::optional<double> Quantile(std::span<const double> x, double p);
// Standard error of the mean: sd / sqrt(ess_mean), ess_mean from the split chains as they are.
std::optional<double> McseMean(const ChainDraws& draws);
std::optional<double> EssMean(const ChainDraws& draws);
// The larger of the rank-normalized split R-hat of the draws (bulk) and of their distance to the
// median (tail).
std::optional<double> Rhat(const ChainDraws& draws);
// ESS of the rank-normalized split chains.
std::optional<double> EssBulk(const ChainDraws& draws);
// The smaller ESS of the 5 % and 95 % quantile indicators.
std::optional<double> EssTail(const ChainDraws& draws);

// The standard normal quantile function (Wichura's AS 241, as R's qnorm).
double NormalQuantile(double p);

constexpr std::array<double, 5> kSummaryProbabilities = {0.025, 0.25, 0.5, 0.75, 0.975};

struct Summary {
    std::optional<double> mean;
    std::optional<double> sd;
    std::optional<double> mcseMean;
    std::array<std::optional<double>, 5> quantiles; // at kSummaryProbabilities
    std::optional<double> rhat;
    std::optional<double> essBulk;
    std::optional<double> essTail;
};

Summary Summarise(const ChainDraws& draws);

} // namespace zento::fit
