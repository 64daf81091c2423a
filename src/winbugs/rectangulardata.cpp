// WinBUGS rectangular data: the chosen leading columns and cases, read forward once.
#include "rectangulardata.h"

#include "datafile/bytescan.h"
#include "datafile/datafilereader.h"
#include "datafile/pagebuffer.h"
#include "datafile/systemfile.h"
#include "datafile/systemmemory.h"
#include "datafile/whitespace.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>

namespace zento {

namespace {

// Calls the sink on a thread of its own, a block at a time, so that the next block is made while
// the kernel copies the last one into a file. The sink is called from one thread at a time, in
// order; what it throws is thrown again by the next Wait.
template <class Sink> class BlockHandOff {
public:
    explicit BlockHandOff(Sink& sink) : m_sink(sink) {}

    // Hands block on; it must stay as it is until Wait returns.
    void Start(std::string_view block, std::int64_t lines) {
        if (!m_worker.joinable())
            m_worker = std::jthread([this](std::stop_token stop) { Run(stop); });
        {
            const std::lock_guard lock(m_mutex);
            m_block = block;
            m_lines = lines;
            m_pending = true;
        }
        m_wake.notify_one();
    }
    // Waits for the block handed last; false once any block failed.
    bool Wait() {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return !m_pending; });
        if (m_thrown)
            std::rethrow_exception(std::exchange(m_thrown, nullptr));
        return m_ok;
    }
    // Waits for the block handed last, then hands block on on this thread.
    bool Call(std::string_view block, std::int64_t lines) {
        return Wait() && (m_ok = m_sink(block, lines));
    }

private:
    void Run(const std::stop_token& stop) {
        std::unique_lock lock(m_mutex);
        while (m_wake.wait(lock, stop, [this] { return m_pending; })) {
            lock.unlock();
            bool ok = false;
            std::exception_ptr thrown;
            try {
                ok = m_sink(m_block, m_lines);
            } catch (...) {
                thrown = std::current_exception();
            }
            lock.lock();
            m_ok = m_ok && ok;
            m_thrown = thrown;
            m_pending = false;
            m_wake.notify_all();
        }
    }

    Sink& m_sink;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::string_view m_block;
    std::int64_t m_lines = 0;
    bool m_pending = false;
    bool m_ok = true;
    std::exception_ptr m_thrown;
    std::jthread m_worker; // last: joined before the rest goes
};

// Gathers the text in a large block and hands each full block to the sink, with the number of
// lines completed so far. Short tokens are copied 16 bytes at a time (the reader guarantees
// that the bytes after a token are readable), so the block keeps that much room spare.
// Until the end of the file, a block is handed on only up to its last line end, so that the
// line being written can still be taken back; the block then grows if one line needs more room.
// Two blocks take turns: one is written while the other is filled.
template <class Sink> class BlockWriter {
public:
    BlockWriter(Sink& sink, CaseCount cases)
        : m_wholeLines(cases == CaseCount::UntilEnd), m_block(kBlock), m_cur(m_block.data()),
          m_limit(m_block.data() + kBlock), m_handOff(sink) {}

    // Each token followed by a tab.
    void Values(std::span<const std::string_view> tokens) {
        // Locals: a store through a char pointer could otherwise alias the members.
        char* cur = m_cur;
        const char* limit = m_limit;
        for (const std::string_view token : tokens) {
            if (static_cast<std::size_t>(limit - cur) < token.size() + kCopy + 1) [[unlikely]] {
                m_cur = cur;
                Append(token);
                Append("\t");
                cur = m_cur;
                limit = m_limit;
                continue;
            }
            if (token.size() <= kCopy)
                std::memcpy(cur, token.data(), kCopy);
            else
                std::memcpy(cur, token.data(), token.size());
            cur += token.size();
            *cur++ = '\t';
        }
        m_cur = cur;
    }
    // Up to count values of the reader, each with its tab, copied straight from its chunk;
    // returns how many (0: the next one must come through ReadToken and Values).
    std::size_t CopyValues(DataFileReader& reader, std::size_t count) {
        char* cur = m_cur;
        const std::size_t copied = reader.CopyTokens(count, '\t', cur, m_limit);
        m_cur = cur;
        return copied;
    }
    // Up to rows whole rows of count values, copied straight from the reader's chunk with
    // their line ends; returns how many (0: the next row must come value by value).
    std::size_t CopyRows(DataFileReader& reader, std::size_t count, std::size_t rows) {
        const std::size_t copied = reader.CopyRows(count, rows, m_cur, m_limit);
        if (copied > 0) {
            m_lines += static_cast<std::int64_t>(copied);
            m_lineStart = Used();
        }
        return copied;
    }
    // Values that lie one whitespace byte apart, each separator becoming a tab, and a tab.
    void Run(std::string_view run) {
        if (static_cast<std::size_t>(m_limit - m_cur) >= run.size() + kCopy + 1) [[likely]] {
            bytescan::CopyWhitespaceAsTabs(m_cur, run.data(), run.size());
            m_cur += run.size();
            *m_cur++ = '\t';
            return;
        }
        // No room left in the block: value by value, which flushes as it must.
        std::size_t begin = 0;
        for (std::size_t i = 0; i <= run.size(); ++i) {
            if (i == run.size() || IsWhitespace(run[i])) {
                const std::string_view value = run.substr(begin, i - begin);
                Values(std::span(&value, 1));
                begin = i + 1;
            }
        }
    }
    void Append(std::string_view piece) {
        if (static_cast<std::size_t>(m_limit - m_cur) < piece.size()) [[unlikely]] {
            Hand(m_wholeLines ? m_lineStart : Used());
            if (static_cast<std::size_t>(m_limit - m_cur) < piece.size()) {
                if (!m_wholeLines) {
                    // Bigger than a block: straight through.
                    if (m_ok)
                        m_ok = m_handOff.Call(piece, m_lines);
                    return;
                }
                Grow(piece.size());
            }
        }
        std::memcpy(m_cur, piece.data(), piece.size());
        m_cur += piece.size();
    }
    void LineEnd() {
        Append("\r\n");
        ++m_lines;
        m_lineStart = Used();
    }
    // Takes back the line written since the last line end (until the end of the file only).
    void DropLine() { m_cur = m_block.data() + m_lineStart; }
    // Hands on the rest of the text and waits until it is written.
    bool Finish() {
        if (m_ok)
            m_ok = Used() > 0 ? m_handOff.Call(std::string_view(m_block.data(), Used()), m_lines)
                              : m_handOff.Wait();
        m_cur = m_block.data();
        return m_ok;
    }
    bool ok() const { return m_ok; }

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;
    static constexpr std::size_t kCopy = DataFileReader::kTokenSlack;

    std::size_t Used() const { return static_cast<std::size_t>(m_cur - m_block.data()); }

    // Hands on the first `give` bytes of the block and goes on in the other block, which starts
    // with the rest.
    void Hand(std::size_t give) {
        const std::size_t rest = Used() - give;
        if (give > 0 && m_ok)
            m_ok = m_handOff.Wait();
        if (give > 0 && m_ok) {
            if (m_spare.size() < m_block.size())
                m_spare = PageBuffer(m_block.size());
            std::memcpy(m_spare.data(), m_block.data() + give, rest);
            m_handOff.Start(std::string_view(m_block.data(), give), m_lines);
            std::swap(m_block, m_spare);
            m_limit = m_block.data() + m_block.size();
        } else {
            std::memmove(m_block.data(), m_block.data() + give, rest);
        }
        m_cur = m_block.data() + rest;
        m_lineStart -= std::min(m_lineStart, give);
    }

    void Grow(std::size_t needed) {
        const std::size_t used = Used();
        std::size_t capacity = m_block.size();
        while (capacity - used < needed + kCopy + 1)
            capacity *= 2;
        PageBuffer block(capacity);
        std::memcpy(block.data(), m_block.data(), used);
        m_block = std::move(block);
        m_cur = m_block.data() + used;
        m_limit = m_block.data() + capacity;
    }

    const bool m_wholeLines;
    PageBuffer m_block;
    PageBuffer m_spare; // the block being written, or that was
    char* m_cur;
    const char* m_limit;
    std::size_t m_lineStart = 0; // offset of the line being written
    std::int64_t m_lines = 0;
    bool m_ok = true;
    BlockHandOff<Sink> m_handOff; // last: done with both blocks before they go
};

// One forward read: the header, then the cases, each line reading the kept tokens and then the
// dropped ones. Returns the number of case lines. sink(block, linesDone) returns false to stop
// (WriteFailed).
template <class Sink>
Result<std::int64_t> WriteText(DataFileReader& reader, const DataSelection& selection,
                               CaseCount cases, Sink& sink) {
    const bool untilEnd = cases == CaseCount::UntilEnd;
    const std::int64_t v = selection.chosenVariables;
    const std::int64_t kept = std::max<std::int64_t>(v, 0);
    const std::int64_t width = kept + std::max<std::int64_t>(std::int64_t{selection.K} - v, 0);
    BlockWriter<Sink> out(sink, cases);
    std::array<std::string_view, 256> batch;
    const auto failure = [&]() -> DataError {
        if (!out.ok())
            return FileError(DataErrorKind::WriteFailed, {});
        if (reader.failed())
            return reader.error();
        if (!untilEnd)
            return RectangularShortage(selection, reader.tokensRead());
        // Until the end only the header can be short: the file has no case at all (N = -1).
        DataSelection header = selection;
        header.chosenCases = -1;
        return RectangularShortage(header, reader.tokensRead());
    };
    const auto skip = [&](std::int64_t count) {
        while (count > 0) {
            const std::size_t want = static_cast<std::size_t>(
                std::min<std::int64_t>(count, static_cast<std::int64_t>(batch.size())));
            const std::size_t got = reader.ReadTokens(std::span(batch.data(), want));
            if (got == 0)
                return false;
            count -= static_cast<std::int64_t>(got);
        }
        return true;
    };

    std::string_view token;
    for (std::int64_t i = 0; i < kept; ++i) {
        if (!reader.ReadToken(token))
            return failure();
        out.Append(token);
        out.Append("[]\t");
    }
    if (!skip(width - kept))
        return failure();
    out.LineEnd();

    const std::int64_t lines =
        untilEnd ? INT64_MAX : std::max<std::int64_t>(selection.chosenCases, 0);
    std::int64_t written = 0;
    if (width == 0) {
        // Lines that read nothing: only reachable with no columns at all, never until the end.
        for (; written < lines && out.ok(); ++written)
            out.LineEnd();
    }
    const std::int64_t dropped = width - kept;
    // One case: its values straight from the reader's chunk where they can be, through a
    // token at a time where they cannot (across chunks, or when the block is full).
    std::string_view run;
    const auto writeCase = [&] {
        if (kept > 0 && reader.ReadTokenRun(static_cast<std::size_t>(kept), run)) {
            out.Run(run);
            return dropped == 0 || reader.ReadTokenRun(static_cast<std::size_t>(dropped), run) ||
                   skip(dropped);
        }
        for (std::int64_t column = 0; column < kept;) {
            const std::size_t want = static_cast<std::size_t>(
                std::min<std::int64_t>(kept - column, std::int64_t{1} << 30));
            std::size_t copied = out.CopyValues(reader, want);
            if (copied == 0) {
                if (!reader.ReadToken(token))
                    return false;
                out.Values(std::span(&token, 1));
                copied = 1;
            }
            column += static_cast<std::int64_t>(copied);
        }
        return skip(dropped);
    };
    for (; written < lines && width > 0; ++written) {
        if (dropped == 0) {
            // Rows that keep every value, as they stand in most files, a chunk at a time.
            const std::int64_t copied = static_cast<std::int64_t>(out.CopyRows(
                reader, static_cast<std::size_t>(kept),
                static_cast<std::size_t>(std::min<std::int64_t>(lines - written, INT32_MAX))));
            written += copied;
            if (written == lines)
                break;
        }
        if (!writeCase()) [[unlikely]] {
            if (!untilEnd || reader.failed())
                return failure();
            out.DropLine();
            break;
        }
        out.LineEnd();
        if (!out.ok()) [[unlikely]]
            return failure();
    }
    if (untilEnd && written > INT32_MAX) {
        // N must fit its 32 bits, as the scan requires.
        DataError error = FileError(DataErrorKind::CountTooLarge, reader.path());
        error.columns = selection.K;
        error.available = reader.tokensRead();
        return error;
    }
    out.Append("END");
    out.LineEnd();
    if (!out.Finish())
        return failure();
    return written;
}

template <class Sink>
Result<std::int64_t> WriteFromFile(const DataSelection& selection, Sink& sink) {
    auto reader = DataFileReader::Open(selection.path);
    if (!reader)
        return reader.error();
    return WriteText(*reader, selection, CaseCount::Chosen, sink);
}

} // namespace

std::int64_t RectangularTokensNeeded(const DataSelection& selection) {
    // Every line, the header and each case, reads the kept tokens and then the dropped ones.
    const std::int64_t v = selection.chosenVariables;
    const std::int64_t perLine =
        std::max<std::int64_t>(v, 0) + std::max<std::int64_t>(std::int64_t{selection.K} - v, 0);
    const std::int64_t lines = 1 + std::max<std::int64_t>(selection.chosenCases, 0);
    // perLine < 2^32 and lines <= 2^31, so the product stays below 2^63.
    return perLine * lines;
}

DataError RectangularShortage(const DataSelection& selection, std::int64_t available) {
    DataError error;
    error.kind = DataErrorKind::TooFewTokens;
    error.path = selection.path;
    error.needed = RectangularTokensNeeded(selection);
    error.available = available;
    error.columns = selection.K;
    error.requestedVariables = selection.chosenVariables;
    error.requestedCases = selection.chosenCases;
    return error;
}

Status WriteRectangularData(const DataSelection& selection, const TextSink& sink) {
    auto reader = DataFileReader::Open(selection.path);
    if (!reader)
        return reader.error();
    auto written = WriteRectangularData(*reader, selection, CaseCount::Chosen, sink);
    if (!written)
        return written.error();
    return Done{};
}

Result<std::int64_t> WriteRectangularData(DataFileReader& reader, const DataSelection& selection,
                                          CaseCount cases, const TextSink& sink) {
    auto pass = [&sink](std::string_view block, std::int64_t) { return sink(block); };
    return WriteText(reader, selection, cases, pass);
}

Result<std::string> BuildRectangularData(const DataSelection& selection) {
    std::string text;
    std::uint64_t fileSize = 0;
    std::error_code ec;
    if (const auto size = std::filesystem::file_size(PathFromUtf8(selection.path), ec); !ec)
        fileSize = size;
    // With END; but a line that reads a token cannot be written more often than the file has
    // tokens, whatever count was asked for.
    const double fileTokens = static_cast<double>(fileSize / 2 + 1);
    const double lines =
        std::min(2.0 + std::max<std::int32_t>(selection.chosenCases, 0), fileTokens + 2.0);
    const double names =
        std::min<double>(std::max<std::int32_t>(selection.chosenVariables, 0), fileTokens);
    bool reserved = false;
    // Reserve once, so that a text of many megabytes is not copied at every doubling: project
    // the size from the lines of the first block, but never beyond what the file can give
    // (each value and its separator in the file become the value and a tab in the text).
    auto append = [&](std::string_view block, std::int64_t linesDone) {
        if (!reserved && linesDone > 0) {
            reserved = true;
            const double done = static_cast<double>(text.size() + block.size());
            const double projected = done / static_cast<double>(linesDone) * lines * 1.02 + 64;
            const double bound = static_cast<double>(fileSize) + 2.0 * lines + 2.0 * names + 16;
            text.reserve(static_cast<std::size_t>(std::min(projected, bound)));
            AdviseHugePages(text.data(), text.capacity());
        }
        text.append(block);
        return true;
    };
    auto written = WriteFromFile(selection, append);
    if (!written)
        return written.error();
    return text;
}

} // namespace zento
