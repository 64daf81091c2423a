// A folder JAGS fitted a model in, read back: the CODA output, the data of datos.R, and which of
// the nine links modelo.bug is. The folder may come from zento-cli ajustar or from a user who ran
// "jags ejecutar.cmd" in a bundle of zento-cli jags.
#pragma once

#include "draws.h"
#include "fiterror.h"
#include "loo.h"
#include "summary.h"
#include "winbugs/models.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zento::fit {

struct ParameterSummary {
    std::string parameter; // as JAGS names it: "beta[2]", "lambda", "delta"
    std::string name;      // "(ordenada)" for beta[1], the covariate's column for beta[j], else
                           // the parameter
    Summary summary;
};

struct FittedModel {
    std::optional<Link> link; // nothing when modelo.bug is none of the nine links' texts
    std::int64_t chains = 0;
    std::int64_t iterations = 0; // kept per chain
    std::vector<ParameterSummary> parameters;
    // From the pointwise log-likelihood; only for a recognised link.
    std::optional<Loo> loo;
    std::optional<Waic> waic;
};

// Summaries for every monitored node, and LOO and WAIC when modelo.bug is one of the nine links
// written for the names and counts in datos.R, compared byte for byte. Any damaged, missing or
// inconsistent file is an error naming the file and the line.
FitResult<FittedModel> ReadFittedDirectory(const std::filesystem::path& directory);

// The same with the draws they were computed from, for plots.
struct FittedFolder {
    Draws draws;
    FittedModel model;
};
FitResult<FittedFolder> ReadFittedFolder(const std::filesystem::path& directory);

} // namespace zento::fit
