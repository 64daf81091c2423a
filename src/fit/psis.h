// Pareto-smoothed importance sampling (Vehtari, Gelman and Gabry 2017) as the R package loo 2.x
// does it by default: the largest importance ratios of each case are replaced by quantiles of a
// generalized Pareto distribution fitted to them, whose shape k tells how far to trust them.
#pragma once

#include "draws.h"
#include "loglik.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zento::fit {

// loo's relative_eff for one case: the ESS of exp(log-likelihood) over its chains, divided by
// the number of draws; 1, as loo takes a missing r_eff, when chains are too short for an ESS.
double RelativeEfficiency(const ChainDraws& logLikelihood);

// loo's tail length: ceil(min(0.2 S, 3 sqrt(S / r_eff))).
std::int64_t ParetoTailLength(std::int64_t draws, double rEff);

struct ParetoFit {
    double k = 0;
    double sigma = 0;
};
// Zhang and Stephens' estimate from exceedances sorted increasingly, with loo's weakly
// informative adjustment of k towards 0.5; k is infinite when the estimate is not a number.
ParetoFit FitGeneralizedPareto(std::span<const double> sortedExceedances);

struct SmoothedCase {
    std::vector<double> logWeights; // unnormalized, one per draw
    double paretoK = 0;             // infinite when the tail could not be fitted
    std::int64_t tailLength = 0;
};
// One case's smoothed log weights from its log importance ratios (-log-likelihood for LOO).
SmoothedCase SmoothLogRatios(std::span<const double> logRatios, std::int64_t tailLength);

// Every case of a log-likelihood matrix, as loo's psis(-log_lik, r_eff) with r_eff from the
// chains. The weights are normalized per case and kept, so that any estimate can use them.
struct Psis {
    std::int64_t draws = 0;
    std::vector<double> logWeights; // case after case, as LogLikelihood::values
    std::vector<double> paretoK;
    std::vector<double> rEff;
    std::vector<std::int64_t> tailLength;
    std::span<const double> column(std::size_t c) const {
        const auto n = static_cast<std::size_t>(draws);
        return std::span<const double>(logWeights).subspan(c * n, n);
    }
};
Psis ParetoSmoothLoo(const LogLikelihood& logLikelihood);

// log(sum(exp(x))) without overflow.
double LogSumExp(std::span<const double> x);

} // namespace zento::fit
