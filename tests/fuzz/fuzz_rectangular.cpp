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
    // Bits 0-1: how many pieces the sink takes before it fails; bit 7: the variables given
    // when the cases are left to the file.
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
    if (!text) {
        FUZZ_CHECK(text.error().kind == DataErrorKind::TooFewTokens);
        FUZZ_CHECK(text.error().needed == RectangularTokensNeeded(selection));
        FUZZ_CHECK(text.error().needed > static_cast<std::int64_t>(tokens.size()));
        FUZZ_CHECK(text.error().available == static_cast<std::int64_t>(tokens.size()));
    } else {
        FUZZ_CHECK(*text == *expected);
        FUZZ_CHECK(static_cast<std::int64_t>(std::count(text->begin(), text->end(), '\n')) ==
                   2 + std::max<std::int64_t>(m, 0));
        FUZZ_CHECK(text->ends_with("\r\nEND\r\n") || *text == "END\r\n");
    }
    // A sink that gives up part way stops the writer with WriteFailed.
    std::size_t pieces = 0;
    const Status stopped =
        WriteRectangularData(selection, [&](std::string_view) { return ++pieces <= flags % 4u; });
    if (stopped)
        FUZZ_CHECK(text.ok() && pieces <= flags % 4u);
    else
        FUZZ_CHECK(stopped.error().kind == DataErrorKind::WriteFailed || !text);

    // With the cases left to the file (datos without --casos), the text for the counts a scan
    // finds, written while they are counted.
    const std::optional<std::int32_t> variables =
        flags & 0x80 ? std::optional(selection.chosenVariables) : std::nullopt;
    const std::int64_t fileK = static_cast<std::int64_t>(ReferenceFirstLineTabs(bytes)) + 1;
    const std::int64_t fileN = static_cast<std::int64_t>(tokens.size()) / fileK - 1;
    const auto whole = ReferenceRectangular(tokens, fileK, variables.value_or(fileK), fileN);
    std::string written;
    const auto counts =
        WriteAllRectangularData(selection.path, variables, [&](std::string_view piece) {
            written += piece;
            return true;
        });
    FUZZ_CHECK(counts.ok() == whole.has_value());
    FUZZ_CHECK(!counts || (counts->K == fileK && counts->N == fileN && written == *whole));
    return 0;
}
