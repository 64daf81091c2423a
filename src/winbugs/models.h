// The nine WinBUGS model texts and the names they are built from.
#pragma once

#include "datafile/dataerror.h"
#include "dataselection.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zento {

class DataFileReader;

struct ModelNames {
    std::string response;
    std::vector<std::string> covariates; // k - 1 names, none when k <= 1
};

// Reads the first max(k, 1) tokens of the file: the response name, then k - 1 covariate names.
// Fewer tokens in the file than that is TooFewTokens: no name is ever repeated or made up.
Result<ModelNames> ReadModelNames(const std::string& path, std::int32_t k);
// The same from a reader the caller opened, at the start of the file.
Result<ModelNames> ReadModelNames(DataFileReader& reader, std::int32_t k);
// max(k, 1): how many tokens ReadModelNames reads.
std::int64_t ModelNamesNeeded(std::int32_t k);

std::string BuildCovariateTerms(const std::vector<std::string>& covariates);
std::string BuildZeroTail(std::int32_t k);

std::string BuildLogitModel(const ModelNames& names, const DataSelection& selection);
std::string BuildProbitModel(const ModelNames& names, const DataSelection& selection);
std::string BuildCloglogModel(const ModelNames& names, const DataSelection& selection);
std::string BuildPowerLogitModel(const ModelNames& names, const DataSelection& selection);
std::string BuildScobitModel(const ModelNames& names, const DataSelection& selection);
std::string BuildSkewLogitModel(const ModelNames& names, const DataSelection& selection);
std::string BuildSkewProbitCDSModel(const ModelNames& names, const DataSelection& selection);
std::string BuildSkewProbitBBBModel(const ModelNames& names, const DataSelection& selection);
std::string BuildSkewProbitStandardModel(const ModelNames& names, const DataSelection& selection);

enum class Link {
    Logit,
    Probit,
    Cloglog,
    PowerLogit,
    Scobit,
    SkewLogit,
    SkewProbitCDS,
    SkewProbitBBB,
    SkewProbitStandard,
};

using ModelBuilder = std::string (*)(const ModelNames&, const DataSelection&);
// P(y = 1) and P(y = 0) for one case, each computed on its own so that neither loses its
// precision when the other is near 1 (their logarithms are the case's log-likelihood).
struct CaseProbability {
    double one;
    double zero;
};
// For each case's linear predictor m and one draw of the link's extra parameter (lambda or
// delta; ignored by the links that have none), as the link's model text defines them. One call
// takes every case of a draw, so that what depends on the draw alone is worked out once.
using LinkProbability = void (*)(double extra, std::span<const double> m,
                                 std::span<CaseProbability> probabilities);

struct LinkInfo {
    Link link;
    int commandId;          // the menu command: 32774 (Logit) to 32782 (Standard)
    std::string_view label; // the menu label: "Logit", "Power logit", "CDS", ...
    std::string_view key;   // the command-line name: "logit", "powerlogit", "cds", ...
    ModelBuilder build;
    LinkProbability probability;
};

// All nine, in menu order.
std::span<const LinkInfo> Links();
const LinkInfo& GetLinkInfo(Link link);
// The link whose key is exactly key, or null.
const LinkInfo* FindLink(std::string_view key);

} // namespace zento
