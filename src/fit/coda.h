// JAGS's CODA output: CODAindex.txt names each monitored node and its lines, and
// CODAchain1.txt ... CODAchainC.txt hold "iteration value" lines, the same lines in each chain.
#pragma once

#include "draws.h"
#include "fiterror.h"

#include <filesystem>
#include <span>

namespace zento::fit {

// Reads the CODA output in directory. Strict: a missing or truncated file, an index line that
// does not continue the previous one, a chain line that is not "iteration value", a value that is
// not a finite number, an iteration number out of step, or chains of other lengths is an error
// naming the file and line; nothing is ever guessed.
FitResult<Draws> ReadCoda(const std::filesystem::path& directory);

// Writes draws in the same layout, values in their shortest exact decimal form. Chain files
// beyond the draws' chains that an earlier output left in directory are removed.
FitStatus WriteCoda(const Draws& draws, const std::filesystem::path& directory);

// Makes directory hold the output of single-chain runs as if one run had made all their chains:
// run c's CODAchain1.txt becomes CODAchainc.txt, byte for byte, beside the runs' shared
// CODAindex.txt. Every run is read first; runs that do not monitor the same nodes over the same
// iterations are refused and directory is left as it was.
FitStatus MergeCodaRuns(std::span<const std::filesystem::path> runs,
                        const std::filesystem::path& directory);

} // namespace zento::fit
