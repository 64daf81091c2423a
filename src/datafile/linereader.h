// Reads a data file forward as tokens and line ends, for checks that judge the file line by line.
#pragma once

#include "bytesource.h"
#include "dataerror.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zento {

struct LineItem {
    enum class Kind { Token, LineEnd };
    Kind kind = Kind::Token;
    std::string_view token; // Token: the whole run of non-whitespace bytes
    // Tabs in the whitespace before this item on its own line: before a token since the last
    // token or line start, before a LineEnd since the last token (trailing tabs).
    std::uint64_t tabsBefore = 0;
    // Whitespace other than tab, CR and LF in the same stretch (a space between two names).
    bool otherBlankBefore = false;
};

// Same tokens as DataFileReader, plus a LineEnd item for every LF and one for a last line that
// has no LF. Memory stays at one chunk plus the longest token.
class LineTokenReader {
public:
    static Result<LineTokenReader> Open(const std::string& path);
    LineTokenReader(std::unique_ptr<ByteSource> source, std::string path,
                    std::size_t chunkSize = std::size_t{1} << 20);

    LineTokenReader(LineTokenReader&&) noexcept = default;
    LineTokenReader& operator=(LineTokenReader&&) noexcept = default;

    // False at the end of the file or on a read error (failed() tells which). The token view
    // stays valid until the next call.
    bool Next(LineItem& item);

    bool failed() const { return m_systemError != 0; }
    DataError error() const;
    std::uint64_t bytesRead() const { return m_bytesRead; }

private:
    bool Refill();

    std::unique_ptr<ByteSource> m_source;
    std::string m_path;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::string m_carry;
    bool m_lineHasContent = false; // something other than a line end since the last LF
    bool m_finished = false;
    std::uint64_t m_bytesRead = 0;
    int m_systemError = 0;
};

} // namespace zento
