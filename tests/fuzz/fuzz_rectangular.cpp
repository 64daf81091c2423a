// The rectangular data writer on any bytes and counts: a refusal exactly when the file holds
// fewer tokens than the text reads; otherwise the header, max(M, 0) case lines and END, each
// field a token of the file in reading order (the reference's text), however it is written.
#include "fuzzsupport.h"
#include "winbugs/rectangulardata.h"

using namespace zento;
using namespace zento::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputDecoder input(data, size);
    DataSelection selection;
    selection.K = input.Count();
    selection.chosenVariables = input.Count();
    selection.chosenCases = input.Count();
    // Bits 0-6: how the reader's source and chunks cut the file; bit 7: the variables given when
    // the cases are left to the file.
    const std::uint8_t flags = input.Byte();
    const std::string_view bytes = input.rest();
    selection.path = WriteScratchFile(bytes);
    const std::int64_t v = selection.chosenVariables, k = selection.K;
    const std::int64_t perLine = std::max<std::int64_t>(v, 0) + std::max<std::int64_t>(k - v, 0);
    // A line that reads no token costs nothing to repeat: keep such texts small.
    if (perLine == 0)
        selection.chosenCases = std::min(selection.chosenCases, std::int32_t{1000});
    const std::int64_t m = selection.chosenCases;
    FUZZ_CHECK(RectangularTokensNeeded(selection) == perLine * (1 + std::max<std::int64_t>(m, 0)));

    const auto tokens = ReferenceTokens(bytes);
    const auto expected = ReferenceRectangular(tokens, k, v, m);
    auto text = BuildRectangularData(selection);
    FUZZ_CHECK(text.ok() == expected.has_value());
    FUZZ_CHECK(text ? *text == *expected
                    : text.error().kind == DataErrorKind::TooFewTokens &&
                          text.error().needed == RectangularTokensNeeded(selection) &&
                          text.error().available == static_cast<std::int64_t>(tokens.size()));
    // Every case to the end of the file (datos without --casos), for 0 <= V <= K: the text for the
    // counts a scan finds, written while they are counted.
    const std::int64_t fileK = static_cast<std::int64_t>(ReferenceFirstLineTabs(bytes)) + 1;
    const std::int64_t fileN = static_cast<std::int64_t>(tokens.size()) / fileK - 1;
    const std::int32_t kept = static_cast<std::int32_t>(std::min<std::int64_t>(
        fileK, flags & 0x80 ? std::max<std::int32_t>(selection.chosenVariables, 0) : fileK));
    DataSelection whole = selection;
    whole.K = static_cast<std::int32_t>(fileK);
    whole.chosenVariables = kept;
    const auto expectedWhole = ReferenceRectangular(tokens, fileK, kept, fileN);
    DataFileReader reader(std::make_unique<MemoryByteSource>(bytes, 1 + flags % 61), "fuzz.txt",
                          64 + flags % 200);
    std::string written;
    const auto cases =
        WriteRectangularData(reader, whole, CaseCount::UntilEnd, [&](std::string_view piece) {
            written += piece;
            return true;
        });
    FUZZ_CHECK(cases.ok() == expectedWhole.has_value());
    FUZZ_CHECK(!cases || (*cases == fileN && written == *expectedWhole));
    return 0;
}
