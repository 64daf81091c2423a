// Writing files so that each is either wholly replaced or left as it was.
#pragma once

#include "datafile/dataerror.h"
#include "winbugs/rectangulardata.h"

#include <filesystem>
#include <functional>
#include <span>
#include <string>

namespace zento::cli {

// Produces the content; a failed Status (or a sink that reports failure) abandons the write.
using ContentWriter = std::function<Status(const TextSink& sink)>;

// A writer of text already made, which must outlive it.
ContentWriter TextWriter(const std::string& text);

struct PlannedFile {
    std::filesystem::path target;
    std::string label; // the name errors give (the path as the user wrote it)
    ContentWriter write;
};

// Writes each file into a new temporary file beside its target, and only when all are complete
// renames them over their targets (a replaced file keeps its permissions). On any failure the
// temporaries are removed and the targets not yet renamed are untouched; the error says why
// (WriteFailed for the file system's part, or a writer's own error).
Status WriteFilesAtomically(std::span<const PlannedFile> files);

// One file the same way. A symbolic link is followed: the file it points to is replaced, not
// the link. A target that WritesInPlace is written directly.
Status WriteFileAtomically(const std::string& target, const ContentWriter& write);

// True when target is an existing device, pipe or socket (/dev/null, /dev/stdout on a
// terminal, a named pipe). Replacing one by a renamed file would destroy the node itself, so it
// is written in place: a refusal found while writing may then leave part of the text there, and
// a caller that can check the data first should do so.
bool WritesInPlace(const std::string& target);

} // namespace zento::cli
