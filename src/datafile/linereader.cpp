// Line-aware chunked token reader: tokens are views into the chunk, or into a carry buffer when
// they span chunks.
#include "linereader.h"

#include "whitespace.h"

#include <algorithm>

namespace zento {

Result<LineTokenReader> LineTokenReader::Open(const std::string& path) {
    auto source = FileByteSource::Open(path);
    if (!source)
        return source.error();
    return LineTokenReader(std::move(*source), path);
}

LineTokenReader::LineTokenReader(std::unique_ptr<ByteSource> source, std::string path,
                                 std::size_t chunkSize)
    : m_source(std::move(source)), m_path(std::move(path)),
      m_buffer(std::max<std::size_t>(chunkSize, 1)) {}

bool LineTokenReader::Refill() {
    m_pos = 0;
    m_end = 0;
    if (!m_source)
        return false;
    m_end = m_source->Read(m_buffer);
    m_bytesRead += m_end;
    if (m_end == 0) {
        m_systemError = m_source->error();
        m_source.reset();
    }
    return m_end != 0;
}

bool LineTokenReader::Next(LineItem& item) {
    item = LineItem{};
    for (;;) {
        while (m_pos < m_end) {
            const char c = m_buffer[m_pos];
            if (c == '\n') {
                ++m_pos;
                m_lineHasContent = false;
                item.kind = LineItem::Kind::LineEnd;
                return true;
            }
            if (!IsWhitespace(c))
                break;
            m_lineHasContent = true;
            if (c == '\t')
                ++item.tabsBefore;
            else if (c != '\r')
                item.otherBlankBefore = true;
            ++m_pos;
        }
        if (m_pos < m_end)
            break;
        if (!Refill()) {
            if (failed() || m_finished)
                return false;
            m_finished = true;
            if (!m_lineHasContent)
                return false;
            // The last line has no LF: end it all the same.
            m_lineHasContent = false;
            item.kind = LineItem::Kind::LineEnd;
            return true;
        }
    }
    m_lineHasContent = true;
    item.kind = LineItem::Kind::Token;
    const char* data = m_buffer.data();
    std::size_t stop = m_pos;
    while (stop < m_end && !IsWhitespace(data[stop]))
        ++stop;
    if (stop < m_end) {
        item.token = std::string_view(data + m_pos, stop - m_pos);
        m_pos = stop;
        return true;
    }
    m_carry.assign(data + m_pos, m_end - m_pos);
    while (Refill()) {
        stop = 0;
        while (stop < m_end && !IsWhitespace(data[stop]))
            ++stop;
        m_carry.append(data, stop);
        m_pos = stop;
        if (stop < m_end)
            break;
    }
    if (failed())
        return false;
    item.token = m_carry;
    return true;
}

DataError LineTokenReader::error() const {
    DataError error;
    error.kind = DataErrorKind::Unreadable;
    error.path = m_path;
    error.systemError = m_systemError;
    return error;
}

} // namespace zento
