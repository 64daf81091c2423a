// The files that let JAGS fit a model, translated from the parts of its WinBUGS text: the model,
// the data, each chain's starting values and the script.
#pragma once

#include "datafile/dataerror.h"
#include "dataselection.h"
#include "models.h"

#include <cstdint>
#include <span>
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

// modelo.bug: the model block as JAGS reads it. Two constructs change and nothing else: the
// latent node's line loses its bounds indexed by the response, I(lo[y[i]+1],up[y[i]+1]), and is
// followed by an observation of the side of zero it lies on,
//     y[i] ~ dinterval(zs[i], 0)
// and a bound with fixed limits I(a,b) becomes the truncation T(a,b).
std::string JagsModelText(const WinBugsParts& parts);

// R's dump format, as datos.R and the inits files have it: "name <- value" and a line end;
// "c(a, b, ...)" with ten values to a line.
std::string RAssignment(std::string_view name, std::string_view value);
std::string RVector(std::span<const std::string> values);

// datos.R: the Data list's counts, then the chosen columns, each value as JagsNumber writes it.
std::string JagsDataText(const WinBugsParts& parts, const ChosenTable& table);

// The seed of chain c: base + c, so that the default base 0 seeds chain c with c.
std::uint32_t ChainSeed(std::uint32_t base, std::int32_t chain);

// initsC.R for chain c: chain 1 starts at the Inits list; the others move away from it in units
// that suit each parameter. Latent links also start their latent node on the side of zero the
// response gives. Ends with the chain's random number generator and seed.
std::string JagsInitsText(const LinkInfo& link, const WinBugsParts& parts, const ChosenTable& table,
                          std::int32_t chain, std::uint32_t seed);

struct JagsOptions {
    std::int32_t chains = 3;
    std::int64_t burnIn = 1000;     // updates before monitoring
    std::int64_t iterations = 1000; // monitored updates
    std::uint32_t seed = 0;         // the base of every chain's seed
};

// ejecutar.cmd's commands for one run of JAGS over the given chains, whose inits files are
// loaded as chains 1, 2, ... of the run; the CODA output goes to the current directory.
std::vector<std::string> JagsScriptLines(const WinBugsParts& parts, const JagsOptions& options,
                                         std::span<const std::int32_t> chains);

struct JagsFile {
    std::string name;
    std::string text;
};

// modelo.bug, datos.R, inits1.R ... initsC.R and ejecutar.cmd for all the chains in one run,
// all with CR LF line ends, translated from the link's model parts.
std::vector<JagsFile> BuildJagsFiles(Link link, const ChosenTable& table,
                                     const DataSelection& selection, const JagsOptions& options);

// Writes every file into directory (created when missing) or none: each is written to a
// temporary file first and renamed only when all are complete. On failure the temporaries, and
// the directory when it was created here, are removed.
Status WriteFilesIntoDirectory(const std::string& directory, const std::vector<JagsFile>& files);

} // namespace zento
