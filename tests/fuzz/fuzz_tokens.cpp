// The token reader, the line reader and the scan against a plain reference: the same tokens
// wherever the chunks end, K from the tabs of the whole first line, N = tokens / K - 1.
#include "datafile/bytesource.h"
#include "datafile/datafilereader.h"
#include "datafile/linereader.h"
#include "datafile/scandatafile.h"
#include "datafile/tokentally.h"
#include "fuzzsupport.h"

#include <array>
#include <memory>

using namespace zento;
using namespace zento::fuzz;

namespace {

// Chunk sizes around the reader's word and vector widths, and one that holds any input whole.
constexpr std::array<std::size_t, 9> kChunks = {1, 2, 3, 7, 15, 16, 63, 64, 4096};

void CheckReader(std::string_view bytes, const std::vector<std::string_view>& expected,
                 std::size_t chunk, std::size_t sourceRead, std::uint8_t skipPattern) {
    DataFileReader reader(std::make_unique<MemoryByteSource>(bytes, sourceRead), "fuzz.txt", chunk);
    std::string_view token;
    std::size_t i = 0;
    for (;; ++i) {
        // SkipWhitespace between reads must never change which tokens come next.
        if (skipPattern >> (i % 8) & 1)
            reader.SkipWhitespace();
        if (!reader.ReadToken(token))
            break;
        FUZZ_CHECK(i < expected.size());
        FUZZ_CHECK(token == expected[i]);
    }
    FUZZ_CHECK(i == expected.size());
    FUZZ_CHECK(!reader.failed());
    FUZZ_CHECK(reader.tokensRead() == static_cast<std::int64_t>(expected.size()));
    // Past the end the token is left as it was.
    const std::string_view before = token;
    FUZZ_CHECK(!reader.ReadToken(token));
    FUZZ_CHECK(token.data() == before.data() && token.size() == before.size());
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
    FUZZ_CHECK(reader.bytesRead() == bytes.size());
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
    CheckLineReader(bytes, expected, 1);
    CheckLineReader(bytes, expected, 64);
    CheckLineReader(bytes, expected, 4096);
    CheckFile(bytes, expected.size());
    return 0;
}
