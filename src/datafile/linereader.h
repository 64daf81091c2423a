// Reads a data file forward as tokens and line ends, for checks that judge the file line by line.
#pragma once

#include "datafilereader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zento {

struct LineItem {
    enum class Kind { Token, LineEnd };
    Kind kind = Kind::Token;
    std::string_view token; // Token: the whole run of non-whitespace bytes
    // Tabs in the whitespace before this item on its own line: before a token since the last
    // token or line start, before a LineEnd since the last token (trailing tabs).
    std::uint64_t tabsBefore = 0;
};

// The tokens of DataFileReader, plus a LineEnd item for every LF and one for a last line that
// has no LF. Memory stays at one chunk plus the longest token.
class LineTokenReader {
public:
    static Result<LineTokenReader> Open(const std::string& path);
    LineTokenReader(std::unique_ptr<ByteSource> source, std::string path,
                    std::size_t chunkSize = DataFileReader::kChunkSize)
        : m_reader(std::move(source), std::move(path), chunkSize) {}

    // False at the end of the file or on a read error (failed() tells which). The token view
    // stays valid until the next call.
    bool Next(LineItem& item);

    bool failed() const { return m_reader.failed(); }
    DataError error() const { return m_reader.error(); }

private:
    explicit LineTokenReader(DataFileReader reader) : m_reader(std::move(reader)) {}

    DataFileReader m_reader;
    bool m_lineHasContent = false; // something other than a line end since the last LF
};

} // namespace zento
