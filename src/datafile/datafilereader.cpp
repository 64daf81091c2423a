// Chunked token reader: tokens are views into the chunk, or into a carry buffer when they span
// more than one chunk. Each chunk is turned into whitespace bits once, 64 bytes at a time.
#include "datafilereader.h"

#include "bytescan.h"
#include "whitespace.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace zento {

namespace {

constexpr std::size_t RoundUp64(std::size_t n) {
    return (n + 63) / 64 * 64;
}

// The first read is small so that a command that needs only the names reads little more than
// them; reads then double up to the full chunk.
constexpr std::size_t kFirstRead = std::size_t{64} << 10;

} // namespace

Result<DataFileReader> DataFileReader::Open(const std::string& path) {
    auto source = FileByteSource::Open(path);
    if (!source)
        return source.error();
    return DataFileReader(std::move(*source), path);
}

DataFileReader::DataFileReader(std::unique_ptr<ByteSource> source, std::string path,
                               std::size_t chunkSize)
    : m_source(std::move(source)), m_path(std::move(path)),
      m_chunkSize(std::max<std::size_t>(chunkSize, 1)),
      m_nextRead(std::min(m_chunkSize, kFirstRead)), m_buffer(RoundUp64(m_chunkSize) + kTokenSlack),
      m_white(std::make_unique_for_overwrite<std::uint64_t[]>(RoundUp64(m_chunkSize) / 64 + 1)) {
    m_white[0] = ~std::uint64_t{0};
}

bool DataFileReader::Refill() {
    m_pos = 0;
    m_end = 0;
    if (m_source) {
        m_end = m_source->Read(std::span<char>(m_buffer.data(), m_nextRead));
        m_nextRead = std::min(m_nextRead * 2, m_chunkSize);
        if (m_end == 0) {
            m_systemError = m_source->error();
            m_source.reset();
        }
    }
    const std::size_t padded = RoundUp64(m_end);
    std::memset(m_buffer.data() + m_end, ' ', padded - m_end + kTokenSlack);
    m_words = padded / 64;
    bytescan::WhitespaceMasks(m_buffer.data(), padded, m_white.get());
    m_white[m_words] = ~std::uint64_t{0};
    return m_end != 0;
}

void DataFileReader::SkipWhitespace() {
    for (;;) {
        m_pos = NextNonWhite(m_pos);
        if (m_pos < m_end || !Refill())
            break;
    }
    SyncCursors();
}

std::string_view DataFileReader::ReadBlanks() {
    if (m_pos == m_end && !Refill()) {
        SyncCursors();
        return {};
    }
    const char* data = m_buffer.data();
    const std::size_t start = m_pos;
    const std::size_t stop = NextNonWhite(m_pos);
    const void* lineEnd = std::memchr(data + start, '\n', stop - start);
    m_pos = lineEnd ? static_cast<std::size_t>(static_cast<const char*>(lineEnd) - data) + 1 : stop;
    SyncCursors();
    return std::string_view(data + start, m_pos - start);
}

bool DataFileReader::ReadTokenAcrossChunks(std::string_view& token) {
    SkipWhitespace();
    if (m_pos == m_end)
        return false;
    const char* data = m_buffer.data();
    std::size_t stop = NextWhite(m_pos);
    if (stop < m_end) {
        token = std::string_view(data + m_pos, stop - m_pos);
        m_pos = stop;
        SyncCursors();
        ++m_tokensRead;
        return true;
    }
    // The token runs to the end of the chunk: gather it whole, across as many chunks as it takes.
    m_carry.assign(data + m_pos, data + m_end);
    while (Refill()) {
        stop = NextWhite(0);
        m_carry.insert(m_carry.end(), data, data + stop);
        m_pos = stop;
        if (stop < m_end)
            break;
    }
    SyncCursors();
    if (failed())
        return false;
    const std::size_t size = m_carry.size();
    m_carry.resize(size + kTokenSlack, ' ');
    token = std::string_view(m_carry.data(), size);
    ++m_tokensRead;
    return true;
}

std::size_t DataFileReader::ReadTokens(std::span<std::string_view> tokens) {
    // Locals, so that the stores into tokens cannot make the compiler reload the members.
    const ChunkBits bits = Bits();
    const char* const data = m_buffer.data();
    Cursor edges = m_edges;
    Cursor after;
    std::size_t n = 0;
    std::size_t start = 0;
    std::size_t stop = 0;
    for (; n < tokens.size() && bits.Peek(edges, after, start, stop); ++n) {
        edges = after;
        tokens[n] = std::string_view(data + start, stop - start);
    }
    m_edges = edges;
    if (n == 0)
        return !tokens.empty() && ReadTokenAcrossChunks(tokens[0]) ? 1 : 0;
    const std::string_view last = tokens[n - 1];
    m_pos = static_cast<std::size_t>(last.data() - data) + last.size();
    m_tokensRead += static_cast<std::int64_t>(n);
    return n;
}

std::size_t DataFileReader::CopyTokens(std::size_t count, char separator, char*& out,
                                       const char* limit) {
    const ChunkBits bits = Bits();
    const char* const data = m_buffer.data();
    Cursor edges = m_edges;
    Cursor after;
    char* cur = out;
    std::size_t pos = m_pos;
    std::size_t n = 0;
    std::size_t start = 0;
    std::size_t stop = 0;
    for (; n < count && bits.Peek(edges, after, start, stop); ++n) {
        const std::size_t size = stop - start;
        if (static_cast<std::size_t>(limit - cur) < size + 1 + kTokenSlack)
            break;
        edges = after;
        // Short tokens in one fixed-size copy: the slack after them is readable.
        if (size <= kTokenSlack)
            std::memcpy(cur, data + start, kTokenSlack);
        else
            std::memcpy(cur, data + start, size);
        cur += size;
        *cur++ = separator;
        pos = stop;
    }
    m_edges = edges;
    m_pos = pos;
    m_tokensRead += static_cast<std::int64_t>(n);
    out = cur;
    return n;
}

std::size_t DataFileReader::CopyRows(std::size_t count, std::size_t rows, char*& out,
                                     const char* limit) {
    if (count == 0 || m_pos >= m_end)
        return 0;
    const char* const data = m_buffer.data();
    char* cur = out;
    std::size_t start = NextNonWhite(m_pos);
    std::size_t end = 0;
    std::size_t done = 0;
    while (done < rows && start < m_end) {
        // Copied as it is checked; the copy counts only once the row proves whole. A row that
        // would not fit before limit is not looked for.
        const std::size_t room = static_cast<std::size_t>(limit - cur);
        if (room < 3 + kTokenSlack)
            break;
        const std::size_t reach = std::min(m_end - start, room - 3 - kTokenSlack);
        bytescan::LineScan line = bytescan::CopyLineAsTabs(cur, data + start, reach);
        if (line.length == reach || line.adjacent)
            break;
        // A CR before the LF is a tab in the copy, as the tab after the last value should be.
        const bool crLf = line.length > 0 && data[start + line.length - 1] == '\r';
        const std::size_t stop = start + line.length - crLf;
        if (stop == start || IsWhitespace(data[stop - 1]) || line.blanks - crLf + 1 != count)
            break;
        cur += line.length;
        std::memcpy(cur, "\t\r\n" + crLf, 3 - crLf);
        cur += 3 - crLf;
        ++done;
        end = stop;
        start += line.length + 1;
        if (start < m_end && IsWhitespace(data[start]))
            break;
    }
    if (done > 0) {
        out = cur;
        m_pos = end;
        m_tokensRead += static_cast<std::int64_t>(done * count);
        SyncCursors();
    }
    return done;
}

bool DataFileReader::ReadTokenRun(std::size_t count, std::string_view& run) {
    if (count == 0)
        return false;
    const ChunkBits bits = Bits();
    const std::uint64_t* const white = bits.white;
    Cursor edges = m_edges;
    while (edges.bits == 0) {
        if (++edges.word >= bits.words)
            return false;
        edges.bits = bits.Edges(edges.word);
    }
    const std::size_t first =
        edges.word * 64 + static_cast<std::size_t>(std::countr_zero(edges.bits));
    // The count-th token end from first on, counted a word at a time: an end is an edge at a
    // whitespace byte.
    std::size_t word = edges.word;
    std::uint64_t ends = edges.bits & white[word];
    std::size_t left = count;
    for (unsigned n; (n = bytescan::CountBits(ends)) < left;) {
        left -= n;
        if (++word > bits.words)
            return false;
        ends = bits.Edges(word) & white[word];
    }
    for (; left > 1; --left)
        ends &= ends - 1;
    const std::size_t last = word * 64 + static_cast<std::size_t>(std::countr_zero(ends));
    if (last >= bits.end)
        return false;
    // No two whitespace bytes in a row between first and last (a pair that starts at last,
    // the CR LF after a row, is outside).
    for (std::size_t w = first / 64; w <= (last - 1) / 64; ++w) {
        std::uint64_t pairs = white[w] & (white[w] >> 1 | white[w + 1] << 63);
        if (w == first / 64)
            pairs &= ~std::uint64_t{0} << (first % 64);
        if (w == last / 64)
            pairs &= (std::uint64_t{1} << (last % 64)) - 1;
        if (pairs != 0)
            return false;
    }
    run = std::string_view(m_buffer.data() + first, last - first);
    m_pos = last;
    m_tokensRead += static_cast<std::int64_t>(count);
    SyncCursors();
    return true;
}

void DataFileReader::SyncCursors() {
    // m_pos is just past a token (whitespace, and the edge there belongs to that token) or at
    // the start of the next one.
    const bool white = (m_white[m_pos / 64] >> (m_pos % 64) & 1) != 0;
    const std::size_t from = m_pos + (white ? 1 : 0);
    m_edges = {from / 64, Bits().Edges(from / 64) & ~std::uint64_t{0} << (from % 64)};
}

DataError DataFileReader::error() const {
    return FileError(DataErrorKind::Unreadable, m_path, m_systemError);
}

} // namespace zento
