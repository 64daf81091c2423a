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
// file system's part, or the writer's own error). A symbolic link is followed: the file it
// points to is replaced, not the link. A target that WritesInPlace is written directly.
Status WriteFileAtomically(const std::string& target, const ContentWriter& write);

// True when target is an existing device, pipe or socket (/dev/null, /dev/stdout on a
// terminal, a named pipe). Replacing one by a renamed file would destroy the node itself, so it
// is written in place: a refusal found while writing may then leave part of the text there, and
// a caller that can check the data first should do so.
bool WritesInPlace(const std::string& target);

} // namespace zento::cli
