// The effective sample size of a set of chains by Geyer's initial monotone sequence over the
// chains' mean autocorrelations (Vehtari, Gelman, Simpson, Carpenter and Buerkner 2021), the
// one estimate behind posterior's ESS and MCSE and loo's relative efficiency.
#pragma once

#include <span>

namespace zento::fit {

// How each chain's autocovariances are scaled. posterior uses the biased estimate
// (1/N sum y_t y_(t+k)); loo divides its padded transform by N^2 instead of N M, leaving every
// autocovariance M/N times larger, where M is the smallest 2^a 3^b 5^c >= N. That shifts its
// mix of within- and between-chain variance, so the factor is kept to give loo's numbers.
enum class AutocovarianceScale { Biased, LooPadded };

// chains: equally long. With fewer than 3 values each the result is NaN; otherwise it is what
// posterior's .ess and loo's ess_rfun compute, cap at S log10(S) included.
double EffectiveSampleSize(std::span<const std::span<const double>> chains,
                           AutocovarianceScale scale);

} // namespace zento::fit
