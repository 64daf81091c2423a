// zento-cli jags: the files JAGS needs, written into a directory all at once.
#pragma once

#include "cliargs.h"
#include "datafile/dataerror.h"
#include "winbugs/jagsexport.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace zento::cli {

// Data that JAGS would misread never reaches it: true when the chosen columns and cases may go
// to JAGS, else false with the first findings on err and how to see them all.
bool MayGoToJags(const Command& command, const DataSelection& selection, std::FILE* err);

// The chosen table of the file, read and checked as zento-cli jags does before it writes
// anything; nothing when it may not go to JAGS, the reason already on err.
struct TableForJags {
    DataSelection selection;
    ChosenTable table;
};
std::optional<TableForJags> ReadTableForJags(const Command& command, std::FILE* err);

// --cadenas, --calentamiento, --iteraciones and --semilla, the omitted ones as JagsOptions has
// them.
JagsOptions JagsOptionsOf(const Command& command);

// Exit 0 on success, 1 when the data cannot be used or the files cannot be written (a Spanish
// message on err, the directory as it was).
int Jags(const Command& command, std::FILE* out, std::FILE* err);

} // namespace zento::cli
