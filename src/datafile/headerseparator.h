// Telling a comma- or semicolon-separated file from the tab-separated files ZENTO reads.
#pragma once

#include "bytesource.h"
#include "dataerror.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zento {

// A header with no tab at all, whose names are joined by commas or semicolons, comes from a
// spreadsheet's CSV export: K counts it as one column. Tab means nothing to warn about.
enum class HeaderSeparator { Tab, Comma, Semicolon };

// What the first line holds that tells how it was written.
struct HeaderMarks {
    std::uint64_t tabs = 0;
    std::uint64_t commas = 0;
    std::uint64_t semicolons = 0;
    std::uint64_t controls = 0; // bytes below 32 other than whitespace: not a text at all

    void Add(std::string_view bytes);
    HeaderSeparator Judge() const;
};
// Judges the first line of text (up to its first LF, or all of it).
HeaderSeparator GuessHeaderSeparator(std::string_view text);

// Reads the first line of the source from where it stands, however long.
Result<HeaderSeparator> ReadHeaderSeparator(ByteSource& source, const std::string& path);
Result<HeaderSeparator> ReadHeaderSeparator(const std::string& path);

// The Spanish warning for a file that looks separated by something else than tabs; empty for Tab.
std::string DescribeHeaderSeparator(HeaderSeparator separator, const std::string& path);

} // namespace zento
