// The nine links, one table row each, and the WinBUGS model texts built from those rows.
#pragma once

#include "datafile/dataerror.h"
#include "dataselection.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
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
// max(k, 1): how many tokens ReadModelNames reads, and how many coefficients the model has.
std::int64_t ModelNamesNeeded(std::int32_t k);

std::string BuildCovariateTerms(const std::vector<std::string>& covariates);
std::string BuildZeroTail(std::int32_t k);

// A bound "I(a,b)" that ends a line of the model block: WinBUGS reads it as a truncation, JAGS
// must be told what it means.
enum class Bound {
    None,
    ResponseSide, // I(lo[y[i]+1],up[y[i]+1]): the response says on which side of zero the node is
    Constant,     // I(0,): fixed limits
};

struct ModelLine {
    std::string text; // without its line end
    Bound bound = Bound::None;
    std::size_t boundAt = 0; // where the bound's "I(" starts in text
};

// An entry of a WinBUGS list, as in list(beta=c(0,0,0),delta=0.5).
struct ListEntry {
    std::string name;
    std::string value; // as the list writes it
};

// A model text as the parts it is made of.
struct WinBugsParts {
    std::vector<ModelLine> model; // "model" to the block's closing brace
    std::size_t blankLines = 0;   // the empty lines between the block and "Inits"
    std::vector<ListEntry> inits; // beta, then the extra parameter if the link has one
    std::vector<ListEntry> data;  // the case count, then k
    std::string response;         // the response name, which the ResponseSide bounds index by
    std::string_view latentNode;  // the node those bounds censor; empty in the Bernoulli layout
};

// The text exactly as WinBUGS takes it: each line of the block ended by CR LF, the empty lines,
// "Inits", its list, an empty line, "Data" and its list, with no line end after the last line.
std::string JoinWinBugsText(const WinBugsParts& parts);

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

// Bernoulli: a likelihood line on the response and a link from the predictor to its
// probability. Latent: a latent node per case, censored at zero on the side the response gives.
enum class Layout { Bernoulli, Latent };

// Where the desktop's menu files the link.
enum class LinkGroup { Symmetric, Asymmetric, SkewProbit };

// How far an extra parameter may range, which says how to move its start for further chains.
enum class ParameterRange { Positive, MinusOneToOne };

struct ExtraParameterInfo {
    std::string_view name;  // "lambda" or "delta"
    std::string_view prior; // its prior line in the model block, line end included
    std::string_view start; // its value in the Inits list
    ParameterRange range;
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
    int commandId;               // the menu command, 32774 to 32782
    std::string_view label;      // the menu label
    std::string_view key;        // the command-line name
    std::string_view alias = {}; // another command-line name, or empty
    LinkGroup group;
    Layout layout;
    // Bernoulli: the line or lines between the likelihood and the predictor.
    std::string_view linkLines = {};
    // Latent: the location line of muz, the distribution of zs before its bounds, and the lines
    // that derive the link's quantities from delta.
    std::string_view location = {};
    std::string_view latent = {};
    std::array<std::string_view, 2> derived = {};
    std::array<std::string_view, 4> nodes = {};   // what the link's own fragments define, besides
                                                  // its layout's nodes and its extra parameter
    std::string_view countName;                   // the case count in the loop and the Data list
    std::optional<ExtraParameterInfo> extra = {}; // none for Logit, Probit and Cloglog
    ModelBuilder build; // the whole text: JoinWinBugsText of BuildModelParts
    LinkProbability probability;
};

// All nine, in menu order.
std::span<const LinkInfo> Links();
const LinkInfo& GetLinkInfo(Link link);

WinBugsParts BuildModelParts(const LinkInfo& link, const ModelNames& names,
                             const DataSelection& selection);

// The names the link's text gives to nodes and counts, loop indices included (not the data's).
std::vector<std::string_view> LinkNodeNames(const LinkInfo& link);

std::string BuildLogitModel(const ModelNames& names, const DataSelection& selection);
std::string BuildProbitModel(const ModelNames& names, const DataSelection& selection);
std::string BuildCloglogModel(const ModelNames& names, const DataSelection& selection);
std::string BuildPowerLogitModel(const ModelNames& names, const DataSelection& selection);
std::string BuildScobitModel(const ModelNames& names, const DataSelection& selection);
std::string BuildSkewLogitModel(const ModelNames& names, const DataSelection& selection);
std::string BuildSkewProbitCDSModel(const ModelNames& names, const DataSelection& selection);
std::string BuildSkewProbitBBBModel(const ModelNames& names, const DataSelection& selection);
std::string BuildSkewProbitStandardModel(const ModelNames& names, const DataSelection& selection);

} // namespace zento
