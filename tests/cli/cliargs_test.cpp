// The counts of the command line: whole numbers in the 32-bit range, nothing else. Every form of
// the command line is checked end to end in tests/data/cli/contrato.txt.
#include "cli/cliargs.h"

#include <gtest/gtest.h>

#include <vector>

namespace zento::cli {
namespace {

TEST(CliArgsTest, CountsAreWholeNumbersInThe32BitRange) {
    const std::vector<std::pair<std::string_view, std::optional<std::int32_t>>> counts = {
        {"0", 0},
        {"-0", 0},
        {"+7", 7},
        {"007", 7},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", {}},
        {"-2147483649", {}},
        {"18446744073709551617", {}},
        {"", {}},
        {"-", {}},
        {"+-1", {}},
        {"1e3", {}},
        {"0x10", {}},
        {"3 ", {}},
        {" 3", {}},
        {"--3", {}},
    };
    for (const auto& [text, expected] : counts)
        EXPECT_EQ(expected, ParseCount(text)) << "«" << text << "»";
}

} // namespace
} // namespace zento::cli
