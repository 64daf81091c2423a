// Predictive accuracy from the pointwise log-likelihood, as the R package loo 2.x reports it:
// PSIS-LOO from the smoothed weights, WAIC, and the comparison of models by their pointwise
// differences.
#pragma once

#include "fiterror.h"
#include "loglik.h"
#include "psis.h"

#include <cstddef>
#include <span>
#include <vector>

namespace zento::fit {

// A sum over cases and its standard error, sqrt(n) times the pointwise standard deviation.
struct Estimate {
    double value = 0;
    double se = 0;
};

struct Loo {
    Estimate elpd;  // elpd_loo
    Estimate p;     // p_loo
    Estimate looic; // -2 elpd_loo
    // per case
    std::vector<double> pointwiseElpd;
    std::vector<double> pointwiseP;
    std::vector<double> paretoK;
};

// loo's pointwise_loo_calcs: elpd_i = log sum_s exp(ll_is + w_is) over the normalized smoothed
// weights, p_i = lpd_i - elpd_i with lpd_i = log mean_s exp(ll_is).
Loo LooFromWeights(const LogLikelihood& logLikelihood, const Psis& psis);
// The same with the smoothing as loo does it by default.
Loo LeaveOneOut(const LogLikelihood& logLikelihood);

struct Waic {
    Estimate elpd; // elpd_waic = lpd - p_waic
    Estimate p;    // p_waic: the pointwise variances of the log-likelihood
    Estimate waic; // -2 elpd_waic
    std::vector<double> pointwiseElpd;
};
Waic WidelyApplicable(const LogLikelihood& logLikelihood);

struct Comparison {
    std::size_t model = 0; // index into the models compared
    double elpdDiff = 0;   // elpd_loo of this model minus the best one's
    double seDiff = 0;     // sqrt(n) sd of the pointwise differences
};
// loo_compare: best first by elpd_loo (ties in the given order); the models must cover the same
// cases.
FitResult<std::vector<Comparison>> Compare(std::span<const Loo> models);

} // namespace zento::fit
