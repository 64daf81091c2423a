// Rectangular data: the worked examples, the odd-but-specified counts, and refusals.
#include "winbugs/rectangulardata.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace zento {
namespace {

const std::string kExample = "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n";

struct RectCase {
    const char* label;
    std::string bytes;
    std::int32_t K, V, M;
    std::string expected; // empty: refused
    std::int64_t needed = 0, available = 0;
};

TEST(RectangularDataTest, WritesTheChosenColumnsAndCases) {
    const std::string longValue(200000, '7');
    const std::vector<RectCase> cases = {
        {"two variables, one case", kExample, 3, 2, 1, "y[]\tx1[]\t\r\n1\t0.5\t\r\nEND\r\n"},
        {"the dialog's defaults", kExample, 3, 3, 2,
         "y[]\tx1[]\tx2[]\t\r\n1\t0.5\t2\t\r\n0\t1.5\t3\t\r\nEND\r\n"},
        {"LF line ends give the same text", "y\tx1\tx2\n1\t0.5\t2\n0\t1.5\t3\n", 3, 3, 2,
         "y[]\tx1[]\tx2[]\t\r\n1\t0.5\t2\t\r\n0\t1.5\t3\t\r\nEND\r\n"},
        {"ragged rows are read in token order", "y\tx1\tx2\n1 0.5\n2\n0 1.5 3\n", 3, 3, 2,
         "y[]\tx1[]\tx2[]\t\r\n1\t0.5\t2\t\r\n0\t1.5\t3\t\r\nEND\r\n"},
        {"no cases", kExample, 3, 2, 0, "y[]\tx1[]\t\r\nEND\r\n"},
        {"negative cases", kExample, 3, 2, -3, "y[]\tx1[]\t\r\nEND\r\n"},
        {"no variables: empty lines", kExample, 3, 0, 2, "\r\n\r\n\r\nEND\r\n"},
        {"negative variables drop K - V per line", kExample, 3, -1, 1, "\r\n\r\nEND\r\n"},
        {"more variables than columns run across lines", kExample, 3, 4, 1,
         "y[]\tx1[]\tx2[]\t1[]\t\r\n0.5\t2\t0\t1.5\t\r\nEND\r\n"},
        {"long and non-ASCII tokens whole", "a\xf1\tb\n" + longValue + "\t\xe9\n", 2, 2, 1,
         "a\xf1[]\tb[]\t\r\n" + longValue + "\t\xe9\t\r\nEND\r\n"},
        {"one case too many", kExample, 3, 3, 3, "", 12, 9},
        {"dropped tokens count too", kExample, 3, 1, 3, "", 12, 9},
        {"empty file, proposed counts", "", 1, 1, -1, "", 1, 0},
        {"header shorter than asked", "y\tx\n", 2, 5, 0, "", 5, 2},
        {"negative variables still need their tokens", kExample, 3, -2, 1, "", 10, 9},
        {"huge counts refused, not looped", kExample, 3, 2147483647, 2147483647, "",
         std::int64_t{2147483647} * 2147483648, 9},
    };
    testing::TempDir dir;
    for (const RectCase& c : cases) {
        DataSelection selection;
        selection.path = dir.Write("d.txt", c.bytes);
        selection.K = c.K;
        selection.chosenVariables = c.V;
        selection.chosenCases = c.M;
        auto text = BuildRectangularData(selection);
        if (c.expected.empty()) {
            ASSERT_FALSE(text.ok()) << c.label;
            const DataError& e = text.error();
            EXPECT_EQ(DataErrorKind::TooFewTokens, e.kind) << c.label;
            EXPECT_EQ(c.needed, e.needed) << c.label;
            EXPECT_EQ(c.available, e.available) << c.label;
            EXPECT_EQ(c.K, e.columns);
            EXPECT_EQ(c.V, e.requestedVariables);
            EXPECT_EQ(c.M, e.requestedCases);
            EXPECT_FALSE(e.modelNames);
            EXPECT_EQ(c.needed, RectangularTokensNeeded(selection)) << c.label;
            continue;
        }
        ASSERT_TRUE(text.ok()) << c.label << ": " << DescribeDataError(text.error());
        EXPECT_EQ(c.expected, *text) << c.label;
        EXPECT_LE(RectangularTokensNeeded(selection), 9) << c.label;
    }
}

TEST(RectangularDataTest, TokensNeededNeverOverflow) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    struct Case {
        std::int32_t K, V, M;
        std::int64_t needed;
    };
    for (const Case& c : std::vector<Case>{
             {3, 2, 1, 6},
             {3, 3, 2, 9},
             {3, 0, -7, 3},
             {3, -1, 2, 12},
             {kMin, kMax, 0, kMax},
             {kMin, kMin, kMin, 0},
             {1, kMin, kMax, (std::int64_t{1} - kMin) * (std::int64_t{kMax} + 1)},
             {kMax, kMin, kMax, (std::int64_t{kMax} - kMin) * (std::int64_t{kMax} + 1)},
             {kMax, kMax, kMax, std::int64_t{kMax} * (std::int64_t{kMax} + 1)},
         }) {
        DataSelection selection;
        selection.K = c.K;
        selection.chosenVariables = c.V;
        selection.chosenCases = c.M;
        EXPECT_EQ(c.needed, RectangularTokensNeeded(selection)) << c.K << " " << c.V << " " << c.M;
    }
}

TEST(RectangularDataTest, StreamsInBlocksAndStopsWhenTheSinkFails) {
    testing::TempDir dir;
    std::string bytes = "y\tx\n";
    for (int i = 0; i < 20000; ++i)
        bytes += std::to_string(i % 2) + "\t" + std::to_string(i) + "\n";
    DataSelection selection;
    selection.path = dir.Write("d.txt", bytes);
    selection.K = 2;
    selection.chosenVariables = 2;
    selection.chosenCases = 20000;
    std::string streamed;
    int pieces = 0;
    ASSERT_TRUE(WriteRectangularData(selection, [&](std::string_view piece) {
                    streamed += piece;
                    ++pieces;
                    return true;
                }).ok());
    EXPECT_GT(pieces, 1);
    EXPECT_LT(pieces, 100);
    EXPECT_EQ(*BuildRectangularData(selection), streamed);

    int calls = 0;
    auto failed = WriteRectangularData(selection, [&](std::string_view) { return ++calls < 2; });
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(DataErrorKind::WriteFailed, failed.error().kind);
    EXPECT_EQ(2, calls);
}

} // namespace
} // namespace zento
