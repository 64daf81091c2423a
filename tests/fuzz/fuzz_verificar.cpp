// The data file checker on any bytes and counts: no crash, memory in proportion to the file (not
// to the counts asked for), findings that quote only tokens of the file, counts that add up.
#include "cli/verificar.h"
#include "common/allocationmeter.h"
#include "fuzzsupport.h"
#include "winbugs/datacheck.h"

#include <array>
#include <map>
#include <set>

using namespace zento;
using namespace zento::cli;
using namespace zento::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFile file;
    InputDecoder input(data, size);
    const std::uint8_t flags = input.Byte();
    CheckOptions options;
    Command command;
    if (flags & 1)
        options.variables = command.variables = input.Count();
    if (flags & 2)
        options.cases = command.cases = input.Count();
    options.maxShown = static_cast<std::int64_t>(flags >> 2) % 8 - 1; // -1 to 6
    const std::string_view bytes = input.rest();
    const std::string& path = file.Write(bytes);
    const std::vector<std::string_view> tokens = ReferenceTokens(bytes);
    const std::set<std::string_view> known(tokens.begin(), tokens.end());

    const testing::AllocationMeter meter;
    std::map<std::pair<CheckKind, std::int64_t>, std::int64_t> shown;
    std::array<std::int64_t, kCheckKindCount> shownPerKind{};
    auto summary = CheckDataFile(path, options, [&](const CheckFinding& finding) {
        FUZZ_CHECK(finding.token.empty() || known.count(finding.token) == 1);
        FUZZ_CHECK(finding.columnName.empty() || known.count(finding.columnName) == 1);
        FUZZ_CHECK(!DescribeFinding(finding).empty());
        ++shown[{finding.kind, finding.column}];
        ++shownPerKind[static_cast<std::size_t>(finding.kind)];
    });
    // One read chunk, a little bookkeeping, and per byte of the file at most a few small objects.
    const std::size_t used = meter.peakAbove();
    if (used > (std::size_t{3} << 20) + 256 * bytes.size()) {
        std::fprintf(stderr, "%zu bytes for a file of %zu\n", used, bytes.size());
        FUZZ_CHECK(false);
    }
    FUZZ_CHECK(summary.ok());

    const std::int64_t k = std::min<std::int64_t>(
        static_cast<std::int64_t>(ReferenceFirstLineTabs(bytes)) + 1, INT32_MAX);
    FUZZ_CHECK(summary->K == k);
    FUZZ_CHECK(
        summary->headerNames ==
        static_cast<std::int64_t>(ReferenceTokens(bytes.substr(0, bytes.find('\n'))).size()));
    if (summary->wholeFile)
        FUZZ_CHECK(summary->tokens == static_cast<std::int64_t>(tokens.size()));
    else
        FUZZ_CHECK(summary->tokens <= static_cast<std::int64_t>(tokens.size()));
    for (const auto& [key, count] : shown)
        FUZZ_CHECK(count <= std::max<std::int64_t>(options.maxShown, 0));
    std::array<std::int64_t, kCheckKindCount> suppressed{};
    for (const CheckSummary::Suppressed& more : summary->suppressed)
        suppressed[static_cast<std::size_t>(more.kind)] += more.count;
    for (std::size_t kind = 0; kind < kCheckKindCount; ++kind)
        FUZZ_CHECK(summary->found[kind] == shownPerKind[kind] + suppressed[kind]);

    // The command itself: a report on stdout, nothing on stderr, exit 1 exactly when it found
    // something.
    command.action = Action::Verificar;
    command.path = path;
    std::FILE* out = std::fopen("/dev/null", "w");
    std::FILE* err = std::tmpfile();
    FUZZ_CHECK(out && err);
    const int status = Verificar(command, out, err);
    FUZZ_CHECK(status == (summary->total() == 0 ? 0 : 1));
    FUZZ_CHECK(std::ftell(err) == 0);
    std::fclose(out);
    std::fclose(err);
    return 0;
}
