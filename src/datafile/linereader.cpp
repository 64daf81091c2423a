// Line ends and the blanks between tokens, read through the token reader's chunks.
#include "linereader.h"

#include <algorithm>

namespace zento {

Result<LineTokenReader> LineTokenReader::Open(const std::string& path) {
    auto reader = DataFileReader::Open(path);
    if (!reader)
        return reader.error();
    return LineTokenReader(std::move(*reader));
}

bool LineTokenReader::Next(LineItem& item) {
    item = LineItem{};
    for (std::string_view blanks; !(blanks = m_reader.ReadBlanks()).empty();) {
        item.tabsBefore +=
            static_cast<std::uint64_t>(std::count(blanks.begin(), blanks.end(), '\t'));
        m_lineHasContent = blanks.back() != '\n';
        if (!m_lineHasContent) {
            item.kind = LineItem::Kind::LineEnd;
            return true;
        }
    }
    if (!m_reader.ReadToken(item.token)) {
        // The last line has no LF: end it all the same.
        if (m_reader.failed() || !m_lineHasContent)
            return false;
        m_lineHasContent = false;
        item.kind = LineItem::Kind::LineEnd;
        return true;
    }
    m_lineHasContent = true;
    return true;
}

} // namespace zento
