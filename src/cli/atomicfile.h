// Writing a file so that it is either wholly replaced or left as it was.
#pragma once

#include "datafile/dataerror.h"
#include "winbugs/rectangulardata.h"

#include <functional>
#include <string>

namespace zento::cli {

// Produces the content; a failed Status (or a sink that reports failure) abandons the write.
using ContentWriter = std::function<Status(const TextSink& sink)>;

// Writes into a new temporary file beside target, then renames it over target. On any failure
// the temporary is removed, target is untouched, and the error says why (WriteFailed for the
// file system's part, or the writer's own error).
Status WriteFileAtomically(const std::string& target, const ContentWriter& write);

} // namespace zento::cli
