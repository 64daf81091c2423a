// Chunked token reader: tokens are views into the chunk, or into a carry buffer when they span
// more than one chunk.
#include "datafilereader.h"

#include "whitespace.h"

#include <algorithm>

namespace zento {

Result<DataFileReader> DataFileReader::Open(const std::string& path) {
    auto source = FileByteSource::Open(path);
    if (!source)
        return source.error();
    return DataFileReader(std::move(*source), path);
}

DataFileReader::DataFileReader(std::unique_ptr<ByteSource> source, std::string path,
                               std::size_t chunkSize)
    : m_source(std::move(source)), m_path(std::move(path)),
      m_buffer(std::max<std::size_t>(chunkSize, 1)) {}

bool DataFileReader::Refill() {
    m_pos = 0;
    m_end = 0;
    if (!m_source)
        return false;
    m_end = m_source->Read(m_buffer);
    if (m_end == 0) {
        m_systemError = m_source->error();
        m_source.reset();
    }
    return m_end != 0;
}

void DataFileReader::SkipWhitespace() {
    for (;;) {
        while (m_pos < m_end && IsWhitespace(m_buffer[m_pos]))
            ++m_pos;
        if (m_pos < m_end || !Refill())
            return;
    }
}

bool DataFileReader::ReadToken(std::string_view& token) {
    SkipWhitespace();
    if (m_pos == m_end)
        return false;
    const char* data = m_buffer.data();
    std::size_t stop = m_pos;
    while (stop < m_end && !IsWhitespace(data[stop]))
        ++stop;
    if (stop < m_end) {
        token = std::string_view(data + m_pos, stop - m_pos);
        m_pos = stop;
        ++m_tokensRead;
        return true;
    }
    // The token runs to the end of the chunk: gather it whole, across as many chunks as it takes.
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
    token = m_carry;
    ++m_tokensRead;
    return true;
}

DataError DataFileReader::error() const {
    DataError error;
    error.kind = DataErrorKind::Unreadable;
    error.path = m_path;
    error.systemError = m_systemError;
    return error;
}

} // namespace zento
