// Model names read from any bytes, then every builder: each link's line count, no line end after
// the last line, the names written whole and nowhere else, a refusal when the file is short.
#include "datafile/dataerror.h"
#include "fuzzsupport.h"
#include "winbugs/models.h"

#include <algorithm>

using namespace zento;
using namespace zento::fuzz;

namespace {

std::size_t ExpectedLines(Link link) {
    switch (link) {
    case Link::Logit:
    case Link::Probit:
    case Link::Cloglog:
        return 18;
    case Link::PowerLogit:
    case Link::Scobit:
        return 20;
    case Link::SkewLogit:
    case Link::SkewProbitCDS:
    case Link::SkewProbitBBB:
        return 22;
    case Link::SkewProbitStandard:
        return 24;
    }
    return 0;
}

// Names no token can be mistaken for: the literal fragments hold no byte 1.
std::string Marker(std::size_t index) {
    return "\x01" + std::to_string(index) + "\x01";
}

// The marker text with each marker replaced by its name: what the real names must give if they
// are written whole, in their places, and the text depends on nothing else about them.
std::string Substitute(std::string_view marked, const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t at; (at = marked.find('\x01')) != std::string_view::npos;) {
        text += marked.substr(0, at);
        const std::size_t close = marked.find('\x01', at + 1);
        FUZZ_CHECK(close != std::string_view::npos);
        const std::size_t index = std::stoul(std::string(marked.substr(at + 1, close - at - 1)));
        FUZZ_CHECK(index < names.size());
        text += names[index];
        marked.remove_prefix(close + 1);
    }
    return text + std::string(marked);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFile file;
    InputDecoder input(data, size);
    DataSelection selection;
    selection.chosenVariables = input.Count();
    selection.chosenCases = input.Count();
    const std::string_view bytes = input.rest();
    selection.path = file.Write(bytes);
    const std::int32_t k = selection.chosenVariables;

    const std::vector<std::string_view> tokens = ReferenceTokens(bytes);
    const std::int64_t needed = std::max<std::int64_t>(k, 1);
    FUZZ_CHECK(ModelNamesNeeded(k) == needed);
    auto names = ReadModelNames(selection.path, k);
    if (static_cast<std::int64_t>(tokens.size()) < needed) {
        FUZZ_CHECK(!names.ok());
        FUZZ_CHECK(names.error().kind == DataErrorKind::TooFewTokens);
        FUZZ_CHECK(names.error().needed == needed);
        FUZZ_CHECK(names.error().available == static_cast<std::int64_t>(tokens.size()));
        FUZZ_CHECK(names.error().modelNames);
        FUZZ_CHECK(!DescribeDataError(names.error()).empty());
        return 0;
    }
    FUZZ_CHECK(names.ok());
    FUZZ_CHECK(names->response == tokens[0]);
    FUZZ_CHECK(names->covariates.size() == static_cast<std::size_t>(needed - 1));
    std::vector<std::string> all{names->response};
    ModelNames markers{Marker(0), {}};
    for (std::size_t i = 0; i < names->covariates.size(); ++i) {
        FUZZ_CHECK(names->covariates[i] == tokens[i + 1]);
        all.push_back(names->covariates[i]);
        markers.covariates.push_back(Marker(i + 1));
    }

    const std::string counts =
        "=" + std::to_string(selection.chosenCases) + ",k=" + std::to_string(k) + ")";
    std::string zeros = "list(beta=c(0";
    for (std::int64_t i = 1; i < needed; ++i)
        zeros += ",0";
    for (const LinkInfo& link : Links()) {
        const std::string text = link.build(*names, selection);
        FUZZ_CHECK(CountOf(text, "\r\n") + 1 == ExpectedLines(link.link));
        FUZZ_CHECK(CountOf(text, "\n") == CountOf(text, "\r\n"));
        FUZZ_CHECK(!text.ends_with("\r\n"));
        FUZZ_CHECK(text.ends_with(counts));
        FUZZ_CHECK(text.find("\r\n" + zeros + ")") != std::string::npos);
        // The response is the likelihood's node; covariate c has coefficient c + 1.
        FUZZ_CHECK(text.find(names->response + "[i]") != std::string::npos);
        for (std::size_t i = 0; i < names->covariates.size(); ++i) {
            FUZZ_CHECK(text.find("+beta[" + std::to_string(i + 2) + "]*" + names->covariates[i] +
                                 "[i]") != std::string::npos);
        }
        FUZZ_CHECK(text == Substitute(link.build(markers, selection), all));
    }
    return 0;
}
