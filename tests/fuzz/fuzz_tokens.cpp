// The token reader, the line reader and the scan against the plain reference: the same tokens
// wherever the chunks end, K from the tabs of the whole first line, N = tokens / K - 1.
#include "datafile/linereader.h"
#include "datafile/scandatafile.h"
#include "datafile/tokentally.h"
#include "fuzzsupport.h"

using namespace zento;
using namespace zento::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t tokens = ReferenceTokens(bytes).size();
    const std::int64_t k = static_cast<std::int64_t>(ReferenceFirstLineTabs(bytes)) + 1;
    // The last byte picks how the source cuts its reads and how the ways of reading mix.
    const std::uint8_t pattern = size > 0 ? data[size - 1] : 0;
    for (std::size_t chunk : {1, 2, 3, 7, 15, 16, 63, 64, 4096}) {
        FUZZ_CHECK(CheckReaderMix(bytes, chunk, SIZE_MAX, 0).empty());
        FUZZ_CHECK(CheckReaderMix(bytes, chunk, 1 + pattern % 5, pattern).empty());
        for (bool firstLine : {false, true}) {
            MemoryByteSource source(bytes);
            TallyOptions options;
            options.chunkSize = chunk;
            options.stopAfterFirstLine = firstLine;
            auto tally = TallyTokens(source, "fuzz.txt", options);
            FUZZ_CHECK(tally.ok() && tally->firstLineTabs == static_cast<std::uint64_t>(k - 1));
            FUZZ_CHECK(
                tally->tokens ==
                (firstLine ? ReferenceTokens(bytes.substr(0, bytes.find('\n'))).size() : tokens));
        }
    }
    // Every LF ends a line, and so does the end of a last line that holds anything but LFs;
    // every tab is counted once.
    LineTokenReader lines(std::make_unique<MemoryByteSource>(bytes), "fuzz.txt", 1 + pattern % 64);
    std::size_t lineTokens = 0, lineEnds = 0, tabs = 0;
    for (LineItem item; lines.Next(item);) {
        tabs += item.tabsBefore;
        lineEnds += item.kind == LineItem::Kind::LineEnd;
        lineTokens += item.kind == LineItem::Kind::Token;
    }
    const std::size_t lastLf = bytes.rfind('\n');
    FUZZ_CHECK(!lines.failed() && lineTokens == tokens);
    FUZZ_CHECK(lineEnds ==
               static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) +
                   (lastLf == std::string_view::npos ? !bytes.empty() : lastLf + 1 < bytes.size()));
    FUZZ_CHECK(tabs == static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\t')));

    const std::string& path = WriteScratchFile(bytes);
    auto counts = ScanDataFile(path);
    FUZZ_CHECK(counts.ok() && counts->K == k);
    FUZZ_CHECK(counts->N == static_cast<std::int64_t>(tokens) / k - 1);
    FUZZ_CHECK(ReadColumnCount(path).value() == k);
    const std::int64_t limit = static_cast<std::int64_t>(tokens) + pattern % 3 - 1;
    FUZZ_CHECK(CountTokensUpTo(path, limit).value() ==
               std::min(std::max<std::int64_t>(limit, 0), static_cast<std::int64_t>(tokens)));
    return 0;
}
