// zento-cli verificar: the data file checker's findings in Spanish.
#pragma once

#include "cliargs.h"
#include "winbugs/datacheck.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace zento::cli {

// The report goes to out as the file is read; exit 0 when nothing was found, 1 when something
// was or the file cannot be read (then a message on err and nothing on out).
int Verificar(const Command& command, std::FILE* out, std::FILE* err);

} // namespace zento::cli
