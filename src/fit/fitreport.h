// What a fit says, as text: the summary of one fitted model and the comparison of several, as a
// table for reading or as CSV for other programs. zento-cli prints these and the desktop saves
// the CSV, so both write the same bytes.
#pragma once

#include "fitteddir.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zento::fit {

// Thresholds the warnings and the comparison's `estado` use.
constexpr double kRhatLimit = 1.01;
constexpr double kEssLimit = 400;
constexpr double kParetoKLimit = 0.7;

// A number as the CSV writes it: 6 significant digits (as many as the CODA draws carry), "NA"
// where the measure is not available.
std::string CsvNumber(const std::optional<double>& value);

// The largest and smallest of one measure over the model's parameters, skipping those without it.
std::optional<double> Largest(const FittedModel& model, std::optional<double> Summary::*measure);
std::optional<double> Smallest(const FittedModel& model, std::optional<double> Summary::*measure);
// How many cases have a Pareto k above 0.7 (or none at all), and the largest k.
std::int64_t HighParetoK(const Loo& loo);
std::optional<double> LargestParetoK(const Loo& loo);
// "no converge" when an R-hat is above 1.01, else "k alto" when a Pareto k is above 0.7, else
// "ok".
std::string ModelState(const FittedModel& model);

// "LOO: elpd_loo ... por encima de 0.7." and a line end; nothing without LOO.
std::string LooLine(const FittedModel& model);
// One "aviso: ..." line per warning: R-hat above 1.01, ESS below 400, Pareto k above 0.7, and a
// note when the model is none of the nine links.
std::string SummaryWarnings(const FittedModel& model);

// One row per monitored parameter, columns
// parametro,nombre,media,de,mcse_media,q2.5,q25,q50,q75,q97.5,rhat,ess_bulk,ess_tail.
// Numbers with 6 significant digits (as many as the CODA draws carry), NA where a measure is not
// available; LF line ends.
std::string SummaryCsv(const FittedModel& model);

// The same rows aligned for reading, then the model's LOO line and the warnings: R-hat above
// 1.01, ESS below 400, Pareto k above 0.7, and a note when the model is none of the nine links.
std::string SummaryTable(const FittedModel& model);

struct ComparedModel {
    std::string link; // the link's command-line name
    FittedModel model;
};

// One row per model, best first by elpd_loo; elpd_diff and se_diff against the best one, from
// the pointwise differences. Every model needs its LOO, over the same cases.
struct ComparisonRow {
    const ComparedModel* model = nullptr;
    double elpdDiff = 0;
    double seDiff = 0;
};
FitResult<std::vector<ComparisonRow>> RankModels(std::span<const ComparedModel> models);

// Columns enlace,elpd_loo,se_elpd_loo,elpd_diff,se_diff,p_loo,looic,waic,k_max,k_altos,
// rhat_max,ess_bulk_min,estado.
std::string ComparisonCsv(std::span<const ComparisonRow> rows);
// The same aligned, after a one-line reading guide.
std::string ComparisonTable(std::span<const ComparisonRow> rows);

} // namespace zento::fit
