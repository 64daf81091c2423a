// Line ends and the blanks between tokens, read through the token reader's chunks.
#include "linereader.h"

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
        for (char c : blanks) {
            if (c == '\t')
                ++item.tabsBefore;
            else if (c != '\r' && c != '\n')
                item.otherBlankBefore = true;
        }
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
