// The one-line messages that zento-cli's later commands write to stderr.
#pragma once

#include "datafile/dataerror.h"

#include <cstdio>
#include <string_view>

namespace zento::cli {

inline void WriteMessage(std::FILE* err, std::string_view text) {
    std::fprintf(err, "zento-cli: %.*s\n", static_cast<int>(text.size()), text.data());
}

} // namespace zento::cli
