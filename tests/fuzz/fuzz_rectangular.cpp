// The rectangular data writer: a header, max(M, 0) case lines and END when it writes; a refusal
// exactly when the file holds fewer tokens than the text reads; no token it did not read.
#include "datafile/dataerror.h"
#include "fuzzsupport.h"
#include "winbugs/rectangulardata.h"

#include <algorithm>
#include <optional>
#include <set>

using namespace zento;
using namespace zento::fuzz;

namespace {

// The text as the reading order defines it, from the reference tokens.
std::string ExpectedText(const std::vector<std::string_view>& tokens, std::int64_t v,
                         std::int64_t k, std::int64_t m) {
    const std::int64_t kept = std::max<std::int64_t>(v, 0);
    const std::int64_t dropped = std::max<std::int64_t>(k - v, 0);
    std::size_t next = 0;
    std::string text;
    for (std::int64_t line = 0; line < 1 + std::max<std::int64_t>(m, 0); ++line) {
        for (std::int64_t i = 0; i < kept; ++i) {
            text += tokens[next++];
            text += line == 0 ? "[]\t" : "\t";
        }
        next += static_cast<std::size_t>(dropped);
        text += "\r\n";
    }
    return text + "END\r\n";
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos;) {
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 2);
    }
    FUZZ_CHECK(text.empty()); // every line ends with CR LF
    return lines;
}

// With the cases left to the file (zento-cli datos without --casos) the text is the one for
// the counts a scan finds, written in one pass where it can be.
void CheckWholeFile(const std::string& path, std::string_view bytes, std::size_t tokens,
                    std::optional<std::int32_t> variables) {
    const auto k = static_cast<std::int64_t>(ReferenceFirstLineTabs(bytes)) + 1;
    DataSelection whole;
    whole.path = path;
    whole.K = static_cast<std::int32_t>(k);
    whole.N = whole.chosenCases =
        static_cast<std::int32_t>(static_cast<std::int64_t>(tokens) / k - 1);
    whole.chosenVariables = variables.value_or(whole.K);
    const auto expected = BuildRectangularData(whole);
    std::string text;
    const auto counts = WriteAllRectangularData(path, variables, [&](std::string_view piece) {
        text += piece;
        return true;
    });
    FUZZ_CHECK(counts.ok() == expected.ok());
    if (!counts.ok()) {
        FUZZ_CHECK(counts.error().kind == expected.error().kind);
        return;
    }
    FUZZ_CHECK(counts->K == whole.K);
    FUZZ_CHECK(counts->N == whole.N);
    FUZZ_CHECK(text == *expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFile file;
    InputDecoder input(data, size);
    DataSelection selection;
    selection.K = input.Count();
    selection.chosenVariables = input.Count();
    selection.chosenCases = input.Count();
    // Bits 0-1: how many pieces the sink takes before it fails; bit 7: variables given when the
    // cases are left to the file.
    const std::uint8_t flags = input.Byte();
    const std::string_view bytes = input.rest();
    selection.path = file.Write(bytes);

    const std::int64_t v = selection.chosenVariables;
    const std::int64_t k = selection.K;
    const std::int64_t perLine = std::max<std::int64_t>(v, 0) + std::max<std::int64_t>(k - v, 0);
    // A line that reads no token (K and V both 0 or less) costs nothing to repeat: keep such
    // texts small. With K >= 1, as every scan gives, each line reads at least one token.
    if (perLine == 0)
        selection.chosenCases = std::min(selection.chosenCases, std::int32_t{1000});
    const std::int64_t m = selection.chosenCases;
    const std::int64_t needed = perLine * (1 + std::max<std::int64_t>(m, 0));
    FUZZ_CHECK(RectangularTokensNeeded(selection) == needed);

    const std::vector<std::string_view> tokens = ReferenceTokens(bytes);
    const auto available = static_cast<std::int64_t>(tokens.size());
    CheckWholeFile(selection.path, bytes, tokens.size(),
                   flags & 0x80 ? std::optional(selection.chosenVariables) : std::nullopt);
    auto text = BuildRectangularData(selection);
    if (available < needed) {
        FUZZ_CHECK(!text.ok());
        FUZZ_CHECK(text.error().kind == DataErrorKind::TooFewTokens);
        FUZZ_CHECK(text.error().needed == needed);
        FUZZ_CHECK(text.error().available == available);
        FUZZ_CHECK(!DescribeDataError(text.error()).empty());
        return 0;
    }
    FUZZ_CHECK(text.ok());

    // The shape, whatever the counts: header, max(M, 0) case lines, END.
    const std::vector<std::string_view> lines = Lines(*text);
    FUZZ_CHECK(lines.size() == static_cast<std::size_t>(2 + std::max<std::int64_t>(m, 0)));
    FUZZ_CHECK(lines.back() == "END");
    // Every field of every line is a token of the file (the header's with "[]" after it).
    const std::set<std::string_view> known(tokens.begin(), tokens.end());
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        std::string_view line = lines[i];
        std::size_t fields = 0;
        while (!line.empty()) {
            const std::size_t tab = line.find('\t');
            FUZZ_CHECK(tab != std::string_view::npos); // each field ends with a tab
            std::string_view field = line.substr(0, tab);
            if (i == 0) {
                FUZZ_CHECK(field.ends_with("[]"));
                field.remove_suffix(2);
            }
            FUZZ_CHECK(known.count(field) == 1);
            line.remove_prefix(tab + 1);
            ++fields;
        }
        FUZZ_CHECK(fields == static_cast<std::size_t>(std::max<std::int64_t>(v, 0)));
    }
    FUZZ_CHECK(*text == ExpectedText(tokens, v, k, m));

    // A sink that gives up part way stops the writer with WriteFailed.
    std::size_t pieces = 0;
    const Status stopped =
        WriteRectangularData(selection, [&](std::string_view) { return ++pieces <= flags % 4; });
    if (!stopped.ok())
        FUZZ_CHECK(stopped.error().kind == DataErrorKind::WriteFailed);
    else
        FUZZ_CHECK(pieces <= flags % 4);
    return 0;
}
