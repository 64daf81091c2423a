// The data file checker on any bytes and counts: no crash, memory in proportion to the file (not
// to the counts asked for), findings that quote only tokens of the file, counts that add up.
#include "cli/verificar.h"
#include "common/allocationmeter.h"
#include "fuzzsupport.h"
#include "winbugs/datacheck.h"

#include <map>
#include <set>

using namespace zento;
using namespace zento::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputDecoder input(data, size);
    const std::uint8_t flags = input.Byte();
    cli::Command command;
    command.action = cli::Action::Verificar;
    CheckOptions options;
    if (flags & 1)
        options.variables = command.variables = input.Count();
    if (flags & 2)
        options.cases = command.cases = input.Count();
    options.maxShown = (flags >> 2) % 8 - 1; // -1 to 6
    const std::string_view bytes = input.rest();
    command.path = WriteScratchFile(bytes);
    const auto tokens = ReferenceTokens(bytes);
    const std::set<std::string_view> known(tokens.begin(), tokens.end());

    const zento::testing::AllocationMeter meter;
    std::map<std::pair<CheckKind, std::int64_t>, std::int64_t> shown;
    std::array<std::int64_t, kCheckKindCount> counted{};
    auto summary = CheckDataFile(command.path, options, [&](const CheckFinding& finding) {
        FUZZ_CHECK(finding.token.empty() || known.count(finding.token) == 1);
        FUZZ_CHECK(finding.columnName.empty() || known.count(finding.columnName) == 1);
        FUZZ_CHECK(!DescribeFinding(finding).empty());
        FUZZ_CHECK((++shown[{finding.kind, finding.column}] <= options.maxShown));
        ++counted[static_cast<std::size_t>(finding.kind)];
    });
    // One read chunk, a little bookkeeping, and per byte of the file at most a few small objects.
    FUZZ_CHECK(meter.peakAbove() <= (std::size_t{3} << 20) + 256 * bytes.size());
    FUZZ_CHECK(summary.ok());
    FUZZ_CHECK(summary->K == static_cast<std::int64_t>(ReferenceFirstLineTabs(bytes)) + 1);
    FUZZ_CHECK(summary->wholeFile ? summary->tokens == static_cast<std::int64_t>(tokens.size())
                                  : summary->tokens <= static_cast<std::int64_t>(tokens.size()));
    for (const CheckSummary::Suppressed& more : summary->suppressed)
        counted[static_cast<std::size_t>(more.kind)] += more.count;
    FUZZ_CHECK(counted == summary->found);

    // The command itself: a report on stdout, nothing on stderr, exit 1 exactly when it found
    // something.
    std::FILE* out = std::fopen("/dev/null", "w");
    std::FILE* err = std::tmpfile();
    FUZZ_CHECK(cli::Verificar(command, out, err) == (summary->total() == 0 ? 0 : 1));
    FUZZ_CHECK(std::ftell(err) == 0);
    std::fclose(out);
    std::fclose(err);
    return 0;
}
