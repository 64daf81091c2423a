// Carrying out a parsed zento-cli command.
#pragma once

#include "cliargs.h"
#include "clicommon.h"

#include <cstdio>
#include <span>
#include <string_view>

namespace zento::cli {

// Text goes to out byte for byte; messages to err. When the data cannot be used nothing is
// written to out.
int Run(const Command& command, std::FILE* out, std::FILE* err);

// Parse and run: what main() does.
int RunCommandLine(std::span<const std::string_view> args, std::FILE* out, std::FILE* err);

} // namespace zento::cli
