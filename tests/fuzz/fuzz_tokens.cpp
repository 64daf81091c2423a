// The token reader, the line reader and the scan against a plain reference: the same tokens
// wherever the chunks end, K from the tabs of the whole first line, N = tokens / K - 1.
#include "datafile/bytescan.h"
#include "datafile/bytesource.h"
#include "datafile/datafilereader.h"
#include "datafile/linereader.h"
#include "datafile/scandatafile.h"
#include "datafile/tokentally.h"
#include "fuzzsupport.h"

#include <algorithm>
#include <array>
#include <memory>
#include <span>

using namespace zento;
using namespace zento::fuzz;

namespace {

// Chunk sizes around the reader's word and vector widths, and one that holds any input whole.
constexpr std::array<std::size_t, 9> kChunks = {1, 2, 3, 7, 15, 16, 63, 64, 4096};

// The reader's ways of taking tokens, mixed as an input's pattern says; all must give the
// reference tokens in order.
enum class Way { Single, Batch, Copy, Run };

// Every token handed out is followed by kTokenSlack readable bytes (the fast copies rely on it;
// AddressSanitizer reports a short buffer).
void TouchSlack(std::string_view token) {
    volatile char sink = 0;
    for (std::size_t i = 0; i < DataFileReader::kTokenSlack; ++i)
        sink = sink + token.data()[token.size() + i];
}

void CheckReader(std::string_view bytes, const std::vector<std::string_view>& expected,
                 std::size_t chunk, std::size_t sourceRead, std::uint8_t pattern) {
    DataFileReader reader(std::make_unique<MemoryByteSource>(bytes, sourceRead), "fuzz.txt", chunk);
    std::string_view token;
    std::size_t i = 0;
    std::array<std::string_view, 7> batch;
    std::vector<char> copied(64);
    for (std::size_t step = 0;; ++step) {
        // SkipWhitespace between reads must never change which tokens come next.
        if (pattern >> (step % 8) & 1)
            reader.SkipWhitespace();
        const Way way = pattern == 0 ? Way::Single : static_cast<Way>((step + pattern) % 4);
        const std::size_t count = 1 + (step * 7 + pattern) % batch.size();
        std::size_t got = 0;
        if (way == Way::Batch) {
            got = reader.ReadTokens(std::span(batch.data(), count));
            for (std::size_t t = 0; t < got; ++t) {
                FUZZ_CHECK(i + t < expected.size());
                FUZZ_CHECK(batch[t] == expected[i + t]);
                TouchSlack(batch[t]);
            }
            if (got > 0)
                token = batch[got - 1];
        } else if (way == Way::Copy) {
            // Room for a few short tokens at most, so that the limit is met too.
            char* out = copied.data();
            got = reader.CopyTokens(count, '\t', out, copied.data() + copied.size());
            std::string_view written(copied.data(), static_cast<std::size_t>(out - copied.data()));
            for (std::size_t t = 0; t < got; ++t) {
                FUZZ_CHECK(i + t < expected.size());
                FUZZ_CHECK(written.starts_with(expected[i + t]));
                written.remove_prefix(expected[i + t].size());
                FUZZ_CHECK(written.starts_with('\t'));
                written.remove_prefix(1);
            }
            FUZZ_CHECK(written.empty());
        } else if (way == Way::Run) {
            std::string_view run;
            if (reader.ReadTokenRun(count, run)) {
                got = count;
                FUZZ_CHECK(i + count <= expected.size());
                // The tokens with one whitespace byte between each two, nothing more.
                const std::vector<std::string_view> inRun = ReferenceTokens(run);
                FUZZ_CHECK(std::equal(inRun.begin(), inRun.end(), expected.begin() + i,
                                      expected.begin() + i + count));
                FUZZ_CHECK(inRun.size() == count && !IsBlank(run.front()) && !IsBlank(run.back()));
                FUZZ_CHECK(run.size() + 1 == [&] {
                    std::size_t sum = 0;
                    for (std::size_t t = 0; t < count; ++t)
                        sum += expected[i + t].size() + 1;
                    return sum;
                }());
                TouchSlack(run);
                token = expected[i + count - 1];
            }
        }
        if (got == 0) {
            if (!reader.ReadToken(token))
                break;
            FUZZ_CHECK(i < expected.size());
            FUZZ_CHECK(token == expected[i]);
            TouchSlack(token);
            got = 1;
        }
        i += got;
        FUZZ_CHECK(reader.tokensRead() == static_cast<std::int64_t>(i));
    }
    FUZZ_CHECK(i == expected.size());
    FUZZ_CHECK(!reader.failed());
    // Past the end the token is left as it was, and every way reads nothing.
    const std::string_view before = token;
    FUZZ_CHECK(!reader.ReadToken(token));
    FUZZ_CHECK(token.data() == before.data() && token.size() == before.size());
    FUZZ_CHECK(reader.ReadTokens(std::span(batch.data(), batch.size())) == 0);
    std::string_view run;
    FUZZ_CHECK(!reader.ReadTokenRun(1, run));
    char* out = copied.data();
    FUZZ_CHECK(reader.CopyTokens(3, '\t', out, copied.data() + copied.size()) == 0);
}

// The bulk byte loops, both twins, against plain loops.
void CheckByteScan(std::string_view bytes, std::uint8_t pattern) {
    // Padded to whole words with the byte the pattern picks, as the reader pads with blanks.
    std::string padded(bytes);
    padded.resize((bytes.size() + 63) / 64 * 64, pattern % 2 ? ' ' : 'x');
    std::vector<std::uint64_t> expected(padded.size() / 64);
    for (std::size_t i = 0; i < padded.size(); ++i)
        expected[i / 64] |= std::uint64_t{IsBlank(padded[i])} << (i % 64);
    std::vector<std::uint64_t> masks(expected.size() + 1, 0x5a5a);
    bytescan::WhitespaceMasksScalar(padded.data(), padded.size(), masks.data());
    FUZZ_CHECK(std::equal(expected.begin(), expected.end(), masks.begin()));
    FUZZ_CHECK(masks.back() == 0x5a5a);
#if ZENTO_HAVE_SSE2
    bytescan::WhitespaceMasksSse2(padded.data(), padded.size(), masks.data());
    FUZZ_CHECK(std::equal(expected.begin(), expected.end(), masks.begin()));
    FUZZ_CHECK(masks.back() == 0x5a5a);
#endif

    // Token starts over any piece, with either state before it.
    const std::size_t cut = bytes.empty() ? 0 : pattern % bytes.size();
    for (bool before : {false, true}) {
        const std::string_view piece = bytes.substr(cut);
        std::uint64_t starts = 0;
        bool white = before;
        for (char c : piece) {
            starts += white && !IsBlank(c);
            white = IsBlank(c);
        }
        bool scalarState = before;
        FUZZ_CHECK(bytescan::CountTokenStartsScalar(piece.data(), piece.data() + piece.size(),
                                                    scalarState) == starts);
        FUZZ_CHECK(scalarState == white);
#if ZENTO_HAVE_SSE2
        bool sse2State = before;
        FUZZ_CHECK(bytescan::CountTokenStartsSse2(piece.data(), piece.data() + piece.size(),
                                                  sse2State) == starts);
        FUZZ_CHECK(sse2State == white);
#endif
    }

    // Whitespace copied as tabs; the twins may touch 15 bytes past either end, which exist.
    std::string expectedCopy(bytes);
    for (char& c : expectedCopy)
        c = IsBlank(c) ? '\t' : c;
    std::string source(bytes);
    source.resize(bytes.size() + 15, '#');
    std::string copy(bytes.size() + 15, '?');
    bytescan::CopyWhitespaceAsTabsScalar(copy.data(), source.data(), bytes.size());
    FUZZ_CHECK(std::string_view(copy).substr(0, bytes.size()) == expectedCopy);
#if ZENTO_HAVE_SSE2
    std::string copySse2(bytes.size() + 15, '?');
    bytescan::CopyWhitespaceAsTabsSse2(copySse2.data(), source.data(), bytes.size());
    FUZZ_CHECK(std::string_view(copySse2).substr(0, bytes.size()) == expectedCopy);
#endif
}

void CheckTally(std::string_view bytes, std::size_t tokens, std::size_t chunk) {
    const std::uint64_t tabs = ReferenceFirstLineTabs(bytes);
    const bool hasLineEnd = bytes.find('\n') != std::string_view::npos;
    MemoryByteSource source(bytes);
    TallyOptions options;
    options.chunkSize = chunk;
    auto tally = TallyTokens(source, "fuzz.txt", options);
    FUZZ_CHECK(tally.ok());
    FUZZ_CHECK(tally->tokens == tokens);
    FUZZ_CHECK(tally->firstLineTabs == tabs);
    FUZZ_CHECK(tally->firstLineEnded == hasLineEnd);
    FUZZ_CHECK(tally->bytes == bytes.size());

    auto counts = CountsFromTally(*tally, "fuzz.txt");
    FUZZ_CHECK(counts.ok()); // a fuzz input is far too small to overflow
    const std::int64_t k = static_cast<std::int64_t>(tabs) + 1;
    FUZZ_CHECK(counts->K == k);
    FUZZ_CHECK(counts->N == static_cast<std::int64_t>(tokens) / k - 1);
    FUZZ_CHECK(counts->tokens == static_cast<std::int64_t>(tokens));

    // The first line alone: the tokens before the first LF.
    MemoryByteSource lineSource(bytes);
    options.stopAfterFirstLine = true;
    auto firstLine = TallyTokens(lineSource, "fuzz.txt", options);
    FUZZ_CHECK(firstLine.ok());
    FUZZ_CHECK(firstLine->firstLineTabs == tabs);
    FUZZ_CHECK(firstLine->tokens == ReferenceTokens(bytes.substr(0, bytes.find('\n'))).size());
}

void CheckLineReader(std::string_view bytes, const std::vector<std::string_view>& expected,
                     std::size_t chunk) {
    LineTokenReader reader(std::make_unique<MemoryByteSource>(bytes), "fuzz.txt", chunk);
    LineItem item;
    std::size_t tokens = 0;
    std::size_t lineEnds = 0;
    std::uint64_t tabs = 0;
    while (reader.Next(item)) {
        tabs += item.tabsBefore;
        if (item.kind == LineItem::Kind::LineEnd) {
            ++lineEnds;
            continue;
        }
        FUZZ_CHECK(tokens < expected.size());
        FUZZ_CHECK(item.token == expected[tokens]);
        ++tokens;
    }
    FUZZ_CHECK(!reader.failed());
    FUZZ_CHECK(tokens == expected.size());
    // Every LF ends a line, and so does the end of a last line that has anything but LFs.
    const std::size_t lastLf = bytes.rfind('\n');
    const bool openLastLine =
        lastLf == std::string_view::npos ? !bytes.empty() : lastLf + 1 < bytes.size();
    FUZZ_CHECK(lineEnds == CountOf(bytes, "\n") + (openLastLine ? 1 : 0));
    // Every tab is counted once, before the item that follows it.
    std::uint64_t allTabs = 0;
    for (char c : bytes)
        allTabs += c == '\t';
    FUZZ_CHECK(tabs == allTabs);
}

void CheckFile(std::string_view bytes, std::size_t tokens) {
    static ScratchFile file;
    const std::string& path = file.Write(bytes);
    auto counts = ScanDataFile(path);
    FUZZ_CHECK(counts.ok());
    const std::int64_t k = static_cast<std::int64_t>(ReferenceFirstLineTabs(bytes)) + 1;
    FUZZ_CHECK(counts->K == k);
    FUZZ_CHECK(counts->N == static_cast<std::int64_t>(tokens) / k - 1);
    // Each file pass zeroes a chunk of a megabyte, which dwarfs a small input: the other two
    // passes over a quarter of the inputs, with one limit below, at or above the count.
    if (bytes.size() % 4 != 0)
        return;
    auto columns = ReadColumnCount(path);
    FUZZ_CHECK(columns.ok() && *columns == k);
    const std::int64_t limit =
        static_cast<std::int64_t>(tokens) + static_cast<std::int64_t>(bytes.size() / 4 % 3) - 1;
    auto upTo = CountTokensUpTo(path, limit);
    FUZZ_CHECK(upTo.ok());
    FUZZ_CHECK(*upTo ==
               std::min(std::max<std::int64_t>(limit, 0), static_cast<std::int64_t>(tokens)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> expected = ReferenceTokens(bytes);
    // The last byte picks how the source cuts its reads and where SkipWhitespace is called.
    const std::uint8_t pattern = size > 0 ? data[size - 1] : 0;
    const std::size_t sourceRead = pattern % 5 == 0 ? SIZE_MAX : pattern % 5;
    for (std::size_t chunk : kChunks) {
        CheckReader(bytes, expected, chunk, SIZE_MAX, 0);
        CheckReader(bytes, expected, chunk, sourceRead, pattern);
        CheckTally(bytes, expected.size(), chunk);
    }
    CheckByteScan(bytes, pattern);
    CheckLineReader(bytes, expected, 1);
    CheckLineReader(bytes, expected, 64);
    CheckLineReader(bytes, expected, 4096);
    CheckFile(bytes, expected.size());
    return 0;
}
