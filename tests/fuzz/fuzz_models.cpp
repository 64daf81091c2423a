// Model names read from any bytes, then every builder: the link's line count, no line end after
// the last line, the names written whole and nowhere else, a refusal when the file is short.
#include "fuzzsupport.h"
#include "winbugs/models.h"

using namespace zento;
using namespace zento::fuzz;

namespace {

// Names no token can be mistaken for: the literal fragments hold no byte 1.
std::string Marker(std::size_t index) {
    return "\x01" + std::to_string(index) + "\x01";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputDecoder input(data, size);
    DataSelection selection;
    selection.chosenVariables = input.Count();
    selection.chosenCases = input.Count();
    const std::string_view bytes = input.rest();
    const auto tokens = ReferenceTokens(bytes);
    const std::int64_t needed = std::max<std::int64_t>(selection.chosenVariables, 1);
    auto names = ReadModelNames(WriteScratchFile(bytes), selection.chosenVariables);
    if (static_cast<std::int64_t>(tokens.size()) < needed) {
        FUZZ_CHECK(!names && names.error().kind == DataErrorKind::TooFewTokens);
        FUZZ_CHECK(names.error().needed == needed && names.error().modelNames);
        FUZZ_CHECK(names.error().available == static_cast<std::int64_t>(tokens.size()));
        return 0;
    }
    FUZZ_CHECK(names && names->response == tokens[0]);
    FUZZ_CHECK(std::equal(names->covariates.begin(), names->covariates.end(), tokens.begin() + 1,
                          tokens.begin() + needed));
    ModelNames markers{Marker(0), {}};
    for (std::size_t i = 0; i < names->covariates.size(); ++i)
        markers.covariates.push_back(Marker(i + 1));
    std::string zeros = "\r\nlist(beta=c(0";
    for (std::int64_t i = 1; i < needed; ++i)
        zeros += ",0";
    constexpr std::size_t kLines[] = {18, 18, 18, 20, 20, 22, 22, 22, 24}; // in menu order
    for (std::size_t link = 0; link < Links().size(); ++link) {
        const std::string withMarkers = Links()[link].build(markers, selection);
        const std::string text = Links()[link].build(*names, selection);
        FUZZ_CHECK(std::count(text.begin(), text.end(), '\n') + 1 ==
                   static_cast<std::ptrdiff_t>(kLines[link]));
        FUZZ_CHECK(text.find(zeros + ")") != std::string::npos);
        FUZZ_CHECK(text.ends_with("=" + std::to_string(selection.chosenCases) +
                                  ",k=" + std::to_string(selection.chosenVariables) + ")"));
        // The text with markers for names, each marker replaced by its name: the real names
        // must give the same, written whole and in their places.
        std::string_view marked = withMarkers;
        std::string expected;
        for (std::size_t at; (at = marked.find('\x01')) != std::string_view::npos;) {
            const std::size_t close = marked.find('\x01', at + 1);
            const std::size_t index =
                std::stoul(std::string(marked.substr(at + 1, close - at - 1)));
            expected += marked.substr(0, at);
            expected += index == 0 ? names->response : names->covariates[index - 1];
            marked.remove_prefix(close + 1);
        }
        expected += marked;
        FUZZ_CHECK(text == expected);
    }
    return 0;
}
