// The files that let JAGS fit a model: the WinBUGS text translated, the data, inits and a script.
#pragma once

#include "datafile/dataerror.h"
#include "dataselection.h"
#include "models.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zento {

// The chosen leading columns and cases, read in the same token order as the rectangular data
// text: each line keeps V tokens and drops K - V.
struct ChosenTable {
    std::vector<std::string> names;                // V names
    std::vector<std::vector<std::string>> columns; // V columns of M values each
};

// Refuses (TooFewTokens, with the same counts as the rectangular data text) when the file holds
// fewer tokens than the selection reads; never repeats or makes up a token.
Result<ChosenTable> ReadChosenTable(const DataSelection& selection);
// The same from a reader the caller opened, at the start of the file.
Result<ChosenTable> ReadChosenTable(DataFileReader& reader, const DataSelection& selection);

// The three parts of a WinBUGS model text.
struct WinBugsParts {
    std::string_view model; // "model" up to the block's closing brace line, its CR LF included
    std::string_view inits; // the list after "Inits"
    std::string_view data;  // the list after "Data"
};
WinBugsParts SplitWinBugsText(std::string_view text);

// The entries of a WinBUGS list "list(a=1,b=c(0,0))", values as they stand.
struct ListEntry {
    std::string name;
    std::string value;
};
std::vector<ListEntry> ParseBugsList(std::string_view list);

// The model block as JAGS reads it. Two constructs change, line by line, and nothing else:
// a node censored by bounds indexed by the response,
//     zs[i]~D(...)I(lo[y[i]+1],up[y[i]+1])
// becomes the node and an observation of the side of zero it lies on,
//     zs[i]~D(...)
//     y[i] ~ dinterval(zs[i], 0)
// and a constant bound I(a,b) at the end of a line becomes the truncation T(a,b).
struct JagsModel {
    std::string text;
    std::string latentNode; // "zs" when a censored node was translated, else empty
};
JagsModel TranslateModelBlock(std::string_view model, std::string_view response);

struct JagsOptions {
    std::int32_t chains = 3;
    std::int64_t burnIn = 1000;     // updates before monitoring
    std::int64_t iterations = 1000; // monitored updates
};

struct JagsFile {
    std::string name;
    std::string text;
};

// modelo.bug, datos.R, inits1.R ... initsC.R and ejecutar.cmd, all with CR LF line ends. The
// counts, the first chain's starting values and the monitored parameters come from the link's
// WinBUGS text, so nothing about a link is written twice.
std::vector<JagsFile> BuildJagsFiles(Link link, const ChosenTable& table,
                                     const DataSelection& selection, const JagsOptions& options);

} // namespace zento
