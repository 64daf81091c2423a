// Pareto-smoothed importance sampling (Vehtari, Gelman and Gabry 2017) as the R package loo 2.x
// does it by default: the largest importance ratios of each case are replaced by quantiles of a
// generalized Pareto distribution fitted to them, whose shape k tells how far to trust them.
#pragma once

#include "draws.h"
#include "loglik.h"

#include <cstdint>
#include <span>
#include <utility>
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

// One case smoothed as ParetoSmoothLoo smooths it, with its weights as plain numbers relative to
// the largest raw one, so that sums over them need no exp per draw.
struct CaseWeights {
    double rEff = 1;
    double paretoK = 0;
    std::int64_t tailLength = 0;
    double lowestLogLikelihood = 0;     // the largest log ratio is minus this
    std::span<const double> likelihood; // exp(log-likelihood), per draw
    std::span<const double> logRatios;  // -log-likelihood - the largest, per draw, not smoothed
    std::span<const double> weights;    // exp(logRatios), smoothed in the tail and at most 1
    std::span<const std::size_t> tail;  // the smoothed draws; none when nothing was smoothed
    double weightSum = 0;
    // False when a draw's likelihood is below e^-700: the weights still hold, but sums of
    // likelihoods would lose digits to subnormal numbers and must be taken in logarithms.
    bool plainSums = true;
};

// What finding a tail needs besides its result.
struct TailScratch {
    std::vector<double> sample;
    std::vector<std::pair<double, std::size_t>> candidates;
};

// Smooths case after case with the same buffers; what it returns refers to them and holds until
// the next case.
class CaseSmoother {
public:
    const CaseWeights& operator()(std::span<const double> logLikelihood, std::int64_t chains);

private:
    CaseWeights m_case;
    std::vector<double> m_likelihood, m_logRatios, m_weights, m_exceedances;
    std::vector<std::size_t> m_tail;
    TailScratch m_scratch;
    std::vector<std::span<const double>> m_chains;
};

// A smoothed case's log weights, normalized, into lw (one per draw), as Psis keeps them.
void NormalizedLogWeights(const CaseWeights& smoothed, std::span<double> lw);

// log(sum(exp(x))) without overflow.
double LogSumExp(std::span<const double> x);

} // namespace zento::fit
