// What zento-cli's commands share: their exit codes and the message line.
#pragma once

#include "datafile/dataerror.h"

#include <cstdio>
#include <string_view>

namespace zento::cli {

// kExitInterrupted is never a process's status: main then ends the program as the signal would
// have (EndAsInterrupted), once the command has stopped JAGS and removed its temporary folders.
enum ExitCode : int { kExitOk = 0, kExitDataError = 1, kExitUsage = 2, kExitInterrupted = 130 };

// "zento-cli: text" and a line end.
void WriteMessage(std::FILE* err, std::string_view text);

// The error's Spanish sentence on err (standard output's failures name no file); exit 1.
int Refuse(std::FILE* err, const DataError& error);

} // namespace zento::cli
