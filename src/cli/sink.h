// Where zento-cli's texts go, behind one interface: standard output, a device written in place,
// or a file replaced whole.
#pragma once

#include "datafile/bytesource.h"
#include "datafile/dataerror.h"
#include "datafile/replacedfile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zento::cli {

// What --salida names, told before anything is opened. An existing device, pipe or socket
// (/dev/null, a FIFO) is written in place: replacing it by a renamed file would destroy the node,
// and nothing written to it can be taken back, so a command checks its data first. Anything
// else is a file replaced whole, which keeps its old content until the new one is complete.
enum class Target { StandardOutput, InPlace, ReplacedFile };
Target TargetOf(const std::optional<std::string>& output);

// The sink for target: out itself, the device opened for writing, or a new temporary file
// beside the file to replace (the one a symbolic link leads to, not the link).
Result<std::unique_ptr<Sink>> OpenSink(Target target, const std::optional<std::string>& output,
                                       std::FILE* out);

// Flushes out and reports a failed stream (WriteFailed with an empty path).
Status FinishStream(std::FILE* out);

} // namespace zento::cli
