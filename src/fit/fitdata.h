// The data table a model was fitted to, as numbers: the 0/1 response and the covariates in the
// model's order (beta[j + 1] multiplies covariates[j]).
#pragma once

#include "fiterror.h"
#include "rdump.h"

#include <span>
#include <string>
#include <vector>

namespace zento::fit {

struct FitData {
    std::string responseName;
    std::vector<std::string> covariateNames;
    std::vector<double> response;                // per case: 0, 1 or NaN for NA
    std::vector<std::vector<double>> covariates; // per covariate, per case
};

// The columns named by columns (the response first, then the covariates, in the model's order)
// from the data JAGS read. Each must be there with one value per case; the response must be 0, 1
// or NA; a covariate may be NA only where the response is (JAGS leaves such a case out of the
// likelihood).
FitResult<FitData> FitDataFromDump(const RDump& dump, std::span<const std::string> columns);

} // namespace zento::fit
