// What zento-cli's commands share: the message line, the end of a stream, the counts they use.
#pragma once

#include "cliargs.h"
#include "datafile/bytesource.h"
#include "datafile/dataerror.h"
#include "winbugs/dataselection.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

namespace zento::cli {

// "zento-cli: text" and a line end.
void WriteMessage(std::FILE* err, std::string_view text);

// Flushes out: exit 0, or 1 with a message when standard output refused the text.
int FinishStream(std::FILE* out, std::FILE* err);

struct Chosen {
    DataSelection selection;            // typed counts as given, omitted ones from the file
    std::optional<std::int64_t> tokens; // every token of the file, when a whole scan counted them
    std::unique_ptr<FileByteSource> source; // the file they were counted in, at its start again
};

// Reads no more of the file than the omitted counts need: the whole of it when the cases are
// omitted, else the first line when K is needed or the variables are omitted.
Result<Chosen> Choose(const Command& command, bool needK);

} // namespace zento::cli
