// The counts a zento-cli command works with: those given on its command line, the omitted ones
// from the data file, read from one open file.
#pragma once

#include "cliargs.h"
#include "datafile/bytesource.h"
#include "datafile/dataerror.h"
#include "winbugs/dataselection.h"
#include "winbugs/rectangulardata.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace zento::cli {

// What a command reads of the file, which says which counts it must know before it starts.
enum class Reads {
    Names,         // a model's leading names: K only as the default of the variables
    Lines,         // lines of K tokens, kept or dropped (the JAGS table): K whatever is given
    LinesToTheEnd, // the same for the rectangular text, whose writer, with the cases omitted and
                   // each line of it a case of the file, counts them while it writes them
};

struct Chosen {
    DataSelection selection; // the counts as given, the omitted ones from the file
    // UntilEnd: the cases are every case of the file, not counted yet (selection.chosenCases
    // and N are then -1 until the writer has them).
    CaseCount cases = CaseCount::Chosen;
    std::optional<std::int64_t> tokens;   // every token of the file, when a scan counted them
    std::unique_ptr<FileByteSource> file; // the file they come from, at its start again
};

// Reads no more of the file than the omitted counts need: its first line for K, the whole of it
// (a scan) for N when the cases are omitted, unless the writer counts them itself.
Result<Chosen> Choose(const Command& command, Reads reads);

} // namespace zento::cli
