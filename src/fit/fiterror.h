// What can go wrong while fitting results are read or computed, as plain data. The command-line
// tool and the desktop shell say it in Spanish through DescribeFitError.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "datafile/valueorerror.h"

namespace zento::fit {

enum class FitErrorKind {
    // Files
    MissingFile, // a file that must be there cannot be opened (systemError says why)
    Unreadable,  // a file could not be read to its end (systemError says why)
    WriteFailed, // an output file could not be written (systemError says why)
    Truncated,   // the file ends before the line that was expected, or inside a line
    ExtraLines,  // the file goes on after its last expected line
    // CODA output
    IndexLine,      // a CODAindex.txt line is not "name first last"
    IndexRange,     // its lines do not follow the previous node's, or are not as many
    ChainLine,      // a chain line is not "iteration value"
    NotFinite,      // a value that is not a finite number
    IterationGap,   // an iteration number out of step with the others
    IndexMismatch,  // the runs being merged do not monitor the same iterations of the same nodes
    NotSingleChain, // a run being merged holds more than one chain
    DuplicateName,  // a node or a variable named twice
    // Data in R dump format
    DumpSyntax,       // not "name <- value" or "name <- c(v1, v2, ...)"
    MissingColumn,    // a column of the data table is not in the file
    ColumnLength,     // a column of another length than the response
    NotBinary,        // a response other than 0, 1 or NA
    MissingCovariate, // NA in a covariate of a case whose response is observed
    // Draws against the model
    MissingParameter,    // a parameter the link needs is not among the draws
    ParameterCount,      // more beta[j] among the draws than the data has columns
    NotFiniteLikelihood, // a draw gives a case probability 0 for what was observed
    NoDraws,             // nothing to compute from
    NoCases,             // no case has its response observed
    DifferentCases,      // models compared on different numbers of cases
};

struct FitError {
    FitErrorKind kind = FitErrorKind::MissingFile;
    std::string file;      // the file concerned, bytes as given (empty when none)
    std::int64_t line = 0; // 1-based line of that file (0: the file as a whole)
    std::string expected;  // what the line should have held, in the file's own terms
    std::string found;     // what it holds (a token or a short excerpt)
    std::string subject;   // the node, variable or parameter concerned, when there is one
    int systemError = 0;   // errno value where the system reported one
};

inline FitError MakeFitError(FitErrorKind kind, std::string file, std::int64_t line = 0,
                             std::string expected = {}, std::string found = {}) {
    return {kind, std::move(file), line, std::move(expected), std::move(found), {}, 0};
}

// One Spanish sentence (UTF-8, no trailing line end) that names the file and the line.
std::string DescribeFitError(const FitError& error);

template <class T> using FitResult = ValueOrError<T, FitError>;

struct FitDone {};
using FitStatus = FitResult<FitDone>;

} // namespace zento::fit
