// Reads a data file forward as whitespace-separated tokens.
#pragma once

#include "bytesource.h"
#include "dataerror.h"
#include "pagebuffer.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zento {

class DataFileReader {
public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;
    // Every token handed out is followed by at least this many readable bytes (not part of it),
    // so that a copier may move a short token with one fixed-size copy.
    static constexpr std::size_t kTokenSlack = 16;

    // Opens the file in binary (CR is whitespace anyway). path labels errors.
    static Result<DataFileReader> Open(const std::string& path);
    DataFileReader(std::unique_ptr<ByteSource> source, std::string path,
                   std::size_t chunkSize = kChunkSize);

    DataFileReader(DataFileReader&&) noexcept = default;
    DataFileReader& operator=(DataFileReader&&) noexcept = default;

    // Skips whitespace and sets token to the next run of other bytes, whatever its length.
    // The view stays valid until the next call. False at the end of the file or on a read
    // error (failed() tells which); token is then left as it was.
    bool ReadToken(std::string_view& token) {
        std::size_t start, stop;
        Cursor after;
        if (!Bits().Peek(m_edges, after, start, stop)) [[unlikely]]
            return ReadTokenAcrossChunks(token);
        m_edges = after;
        token = std::string_view(m_buffer.data() + start, stop - start);
        m_pos = stop;
        ++m_tokensRead;
        return true;
    }
    // Reads up to tokens.size() tokens into tokens, in order, and returns how many: at least one
    // unless the file is at its end (or failed, or tokens is empty). All the views stay valid
    // until the next call. Tokens come out of one chunk per call, so a call may return fewer.
    std::size_t ReadTokens(std::span<std::string_view> tokens);
    // Copies up to count tokens to out, each followed by separator, advancing out; stops early
    // at the end of the chunk or when the next token and kTokenSlack more bytes would pass
    // limit. Returns how many were copied; 0 says only that ReadToken must take the next one.
    std::size_t CopyTokens(std::size_t count, char separator, char*& out, const char* limit);
    // Copies up to rows whole rows of count (>= 1) tokens as the rectangular text has them: each
    // token followed by a tab, each row by CR LF. Such a row is the next count tokens when they
    // lie one whitespace byte apart and the last one ends its line (LF or CR LF) in the chunk.
    // Stops at the first that is not, or when the next row and kTokenSlack more bytes would pass
    // limit; advances out. Returns the rows copied.
    std::size_t CopyRows(std::size_t count, std::size_t rows, char*& out, const char* limit);
    // Reads the next count (>= 1) tokens at once when they lie in the chunk with a single
    // whitespace byte between each two, as the values of a tab-separated row do: run then
    // spans them, from the first byte of the first to the last byte of the last, and is
    // followed by kTokenSlack readable bytes. Otherwise reads nothing and returns false.
    bool ReadTokenRun(std::size_t count, std::string_view& run);
    // Consumes the whitespace ahead up to the next token or just past the next LF, whichever
    // comes first, and returns it; a stretch that crosses chunks comes in more than one piece.
    // Empty at a token, at the end of the file or on a read error. Never changes what ReadToken
    // returns next.
    std::string_view ReadBlanks();

    bool failed() const { return m_systemError != 0; }
    DataError error() const; // Unreadable with the errno of the failed read
    std::int64_t tokensRead() const { return m_tokensRead; }
    const std::string& path() const { return m_path; }

private:
    // Token edges still to be taken, a word of bits at a time. Taking the lowest bit is all
    // that links one token to the next, so finding a token does not wait for the one before.
    struct Cursor {
        std::size_t word = 0;
        std::uint64_t bits = 0; // the positions of word not taken yet
    };
    // The chunk as the fast path sees it. Copied into locals, it stays in registers.
    struct ChunkBits {
        const std::uint64_t* white;
        std::size_t words; // words covering the chunk's bytes
        std::size_t end;   // bytes in the chunk

        std::uint64_t Before(std::size_t word) const {
            // The chunk's first byte counts as after whitespace: a token carried in from the
            // chunk before has been read by the time its bits are looked at.
            return word == 0 ? 1 : white[word - 1] >> 63;
        }
        // Where whitespace changes: a token's first byte, then the byte just past it, and so
        // on, alternately.
        std::uint64_t Edges(std::size_t word) const {
            return white[word] ^ (white[word] << 1 | Before(word));
        }
        // The next token if it lies wholly inside the chunk; after is the cursor past it. Every
        // token ends by m_end at the latest (the padding is whitespace), so in the word after
        // the chunk at most.
        bool Peek(const Cursor& edges, Cursor& after, std::size_t& start, std::size_t& stop) const {
            after = edges;
            while (after.bits == 0) {
                if (++after.word >= words)
                    return false;
                after.bits = Edges(after.word);
            }
            start = after.word * 64 + static_cast<std::size_t>(std::countr_zero(after.bits));
            after.bits &= after.bits - 1;
            while (after.bits == 0)
                after.bits = Edges(++after.word);
            stop = after.word * 64 + static_cast<std::size_t>(std::countr_zero(after.bits));
            after.bits &= after.bits - 1;
            return stop < end;
        }
    };
    ChunkBits Bits() const { return {m_white.get(), m_words, m_end}; }

    bool Refill();
    // Consumes a run of whitespace, possibly empty, across chunks.
    void SkipWhitespace();
    bool ReadTokenAcrossChunks(std::string_view& token);
    // Points the cursors just past m_pos after the slow path has moved it.
    void SyncCursors();

    // The first non-whitespace position at or after pos, or m_end when the chunk has none.
    std::size_t NextNonWhite(std::size_t pos) const {
        std::size_t word = pos / 64;
        std::uint64_t other = ~m_white[word] >> (pos % 64);
        if (other != 0)
            return pos + static_cast<std::size_t>(std::countr_zero(other));
        while (++word < m_words) {
            other = ~m_white[word];
            if (other != 0)
                return word * 64 + static_cast<std::size_t>(std::countr_zero(other));
        }
        return m_end;
    }
    // The first whitespace position after pos; the padding makes m_end the farthest.
    std::size_t NextWhite(std::size_t pos) const {
        std::size_t word = pos / 64;
        std::uint64_t white = m_white[word] >> (pos % 64);
        if (white != 0)
            return pos + static_cast<std::size_t>(std::countr_zero(white));
        while ((white = m_white[++word]) == 0) {
        }
        return word * 64 + static_cast<std::size_t>(std::countr_zero(white));
    }

    std::unique_ptr<ByteSource> m_source;
    std::string m_path;
    std::size_t m_chunkSize;
    std::size_t m_nextRead;
    // The chunk, followed by whitespace up to the next multiple of 64 and kTokenSlack more.
    PageBuffer m_buffer;
    // A whitespace bit per byte of the chunk and its padding, then one all-whitespace word.
    std::unique_ptr<std::uint64_t[]> m_white;
    std::size_t m_words = 0; // words covering the chunk's bytes
    Cursor m_edges;          // the edges of the chunk still ahead
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::vector<char> m_carry; // a token that straddles chunks, gathered whole, then the slack
    std::int64_t m_tokensRead = 0;
    int m_systemError = 0;
};

} // namespace zento
