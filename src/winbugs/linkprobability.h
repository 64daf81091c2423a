// P(y = 1) and P(y = 0) of each link for a linear predictor m and the link's extra parameter, as
// the model texts define them. The latent-variable links integrate their half-normal term V
// (V ~ N(0, 1) truncated to V > 0) out: each probability is within 1e-8 of the integral and,
// when small, within a relative 1e-8, so that its logarithm is accurate too.
#pragma once

#include "models.h"

#include <span>

namespace zento {

// Each fills p[i] for m[i]; both spans have one element per case.
void LogitProbability(double extra, std::span<const double> m, std::span<CaseProbability> p);
void ProbitProbability(double extra, std::span<const double> m, std::span<CaseProbability> p);
void CloglogProbability(double extra, std::span<const double> m, std::span<CaseProbability> p);
void PowerLogitProbability(double lambda, std::span<const double> m, std::span<CaseProbability> p);
void ScobitProbability(double lambda, std::span<const double> m, std::span<CaseProbability> p);
// E_V[logit^-1(m + delta sigma V)], sigma = 1 / sqrt(1 - delta^2)
void SkewLogitProbability(double delta, std::span<const double> m, std::span<CaseProbability> p);
// E_V[Phi(m + delta sigma V)], sigma = 1 / sqrt(1 - delta^2)
void SkewProbitCDSProbability(double delta, std::span<const double> m,
                              std::span<CaseProbability> p);
// E_V[Phi((m - delta V) / sqrt(1 - delta^2))]
void SkewProbitBBBProbability(double delta, std::span<const double> m,
                              std::span<CaseProbability> p);
// E_V[Phi((m - mu - sigma delta V) / (sigma sqrt(1 - delta^2)))], with the model text's
// sigma^2 = 3.1415 / (3.1415 - 2 delta^2) and mu = -1.4142 delta / sqrt(3.1415 - 2 delta^2)
void SkewProbitStandardProbability(double delta, std::span<const double> m,
                                   std::span<CaseProbability> p);

// One case through a link's probability.
inline CaseProbability ProbabilityAt(LinkProbability probability, double m, double extra) {
    CaseProbability result{};
    probability(extra, std::span<const double>(&m, 1), std::span<CaseProbability>(&result, 1));
    return result;
}

} // namespace zento
