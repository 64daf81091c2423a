// Telling a comma- or semicolon-separated file from the tab-separated files ZENTO reads.
#pragma once

#include "bytesource.h"
#include "dataerror.h"

#include <string>
#include <string_view>

namespace zento {

// A header with no tab at all, whose names are joined by commas or semicolons, comes from a
// spreadsheet's CSV export: K counts it as one column. Tab means nothing to warn about.
enum class HeaderSeparator { Tab, Comma, Semicolon };

// Judges the first line of text (up to its first LF, or all of it).
HeaderSeparator GuessHeaderSeparator(std::string_view text);

// Reads the first line of the source from where it stands, however long.
Result<HeaderSeparator> ReadHeaderSeparator(ByteSource& source, const std::string& path);
Result<HeaderSeparator> ReadHeaderSeparator(const std::string& path);

// The Spanish warning for a file that looks separated by something else than tabs; empty for Tab.
std::string DescribeHeaderSeparator(HeaderSeparator separator, const std::string& path);

} // namespace zento
