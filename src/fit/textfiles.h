// Whole small text files in and out for the fit code: read at once, replaced atomically.
#pragma once

#include "fiterror.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zento::fit {

// The bytes of a regular file; MissingFile when it cannot be opened, Unreadable when a read fails.
FitResult<std::string> ReadTextFile(const std::filesystem::path& path);

// Writes bytes to a temporary file beside path and renames it over path, so that path holds
// either its old content or all of the new one.
FitStatus ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace zento::fit
