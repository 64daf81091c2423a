// zento-cli ajustar, resumir and comparar: fitting links with JAGS and reading what it left.
#pragma once

#include "cliargs.h"

#include <cstdio>

namespace zento::cli {

// Each returns the exit status: 0, 1 with a Spanish message on err, or kExitInterrupted once
// every JAGS process is stopped and every temporary folder removed.
int Ajustar(const Command& command, std::FILE* out, std::FILE* err);
int Resumir(const Command& command, std::FILE* out, std::FILE* err);
int Comparar(const Command& command, std::FILE* out, std::FILE* err);

} // namespace zento::cli
