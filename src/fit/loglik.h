// The pointwise log-likelihood of a fitted link: one value per draw and observed case, the input
// of every predictive criterion (PSIS-LOO, WAIC).
#pragma once

#include "draws.h"
#include "fitdata.h"
#include "fiterror.h"
#include "winbugs/models.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zento::fit {

struct LogLikelihood {
    std::int64_t chains = 0;
    std::int64_t iterations = 0;     // per chain
    std::vector<std::int64_t> cases; // the data's case (from 0) behind each column
    // values[c * draws() + d]: column c, draw d, the draws chain after chain
    std::vector<double> values;

    std::int64_t draws() const { return chains * iterations; }
    std::span<const double> column(std::size_t c) const {
        const auto n = static_cast<std::size_t>(draws());
        return std::span<const double>(values).subspan(c * n, n);
    }
};

// log P(y_i | draw) for every draw and every case whose response is observed (NA responses are
// left out, as JAGS leaves them out of the likelihood), from beta[1..k] and the link's extra
// parameter. The draws must hold exactly the data's k = covariates + 1 coefficients; a draw that
// gives an observed response probability 0 is an error, not an infinite value.
FitResult<LogLikelihood> BuildLogLikelihood(Link link, const Draws& draws, const FitData& data);

} // namespace zento::fit
