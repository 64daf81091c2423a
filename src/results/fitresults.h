// What the results and comparison windows show: one fitted link read back from its folder (the
// summaries, LOO and WAIC the command-line tool prints, and the draws the plots need), and the
// ranking of several links.
#pragma once

#include "fit/draws.h"
#include "fit/loo.h"
#include "fit/summary.h"
#include "winbugs/models.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zento {

// The thresholds past which a measure is flagged, as the command-line tool warns.
inline constexpr double kRhatLimit = 1.01;
inline constexpr double kEssLimit = 400;
inline constexpr double kParetoKLimit = 0.7;

struct ParameterRow {
    std::string parameter; // as JAGS names it: "beta[2]", "lambda", "delta"
    std::string name;      // "(ordenada)", the covariate's column, else the parameter
    fit::Summary summary;
};

// How a fit was run, when this program ran it (a folder opened later does not say).
struct RunSettings {
    std::int32_t chains = 0;
    std::int64_t burnIn = 0;
    std::int64_t iterations = 0;
    std::optional<std::uint32_t> seed;
};

struct FitResults {
    std::string folder;
    std::optional<Link> link; // nothing when the model is none of the nine links' texts
    fit::Draws draws;
    std::vector<ParameterRow> parameters;
    std::optional<fit::Loo> loo;
    std::optional<fit::Waic> waic;
    std::optional<RunSettings> settings;
    std::string csv; // the summary as zento-cli resumir --formato csv writes it
};

// One link of a comparison, best first; the columns of the comparison's CSV.
struct ComparisonEntry {
    std::string link; // the link's command-line name
    std::string folder;
    double elpdLoo = 0;
    double seElpdLoo = 0;
    double elpdDiff = 0;
    double seDiff = 0;
    double pLoo = 0;
    double looic = 0;
    double waic = 0;
    double kMax = 0;
    std::int64_t kHigh = 0;
    std::optional<double> rhatMax;
    std::optional<double> essBulkMin;
    std::string estado; // "ok", "no converge" or "k alto"
};

// How many cases have a Pareto k above the limit.
std::int64_t HighParetoK(const fit::Loo& loo);

} // namespace zento
