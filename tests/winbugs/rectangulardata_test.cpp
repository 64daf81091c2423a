// Rectangular data: the worked examples, the odd-but-specified counts, and refusals.
#include "winbugs/rectangulardata.h"

#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <random>
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
    for (int i = 0; i < 300000; ++i)
        bytes += std::to_string(i % 2) + "\t" + std::to_string(i) + "\n";
    DataSelection selection;
    selection.path = dir.Write("d.txt", bytes);
    selection.K = 2;
    selection.chosenVariables = 2;
    selection.chosenCases = 300000;
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

// The text by the book, from the file's tokens: empty when the file has too few.
std::string ReferenceText(const std::vector<std::string>& tokens, std::int64_t k, std::int64_t v,
                          std::int64_t m) {
    const std::int64_t kept = std::max<std::int64_t>(v, 0);
    const std::int64_t dropped = std::max<std::int64_t>(k - v, 0);
    if ((kept + dropped) * (1 + std::max<std::int64_t>(m, 0)) >
        static_cast<std::int64_t>(tokens.size()))
        return "";
    std::size_t next = 0;
    std::string text;
    for (std::int64_t line = -1; line < std::max<std::int64_t>(m, 0); ++line) {
        for (std::int64_t i = 0; i < kept; ++i)
            text += tokens[next++] + (line < 0 ? "[]\t" : "\t");
        next += static_cast<std::size_t>(dropped);
        text += "\r\n";
    }
    return text + "END\r\n";
}

// A table of 2 to 3 MB, so that tokens straddle the reader's chunks and the text fills several
// blocks: values of 1 to 40 bytes (a few far longer), mostly tab-separated, with CR LF, blank
// lines and runs of other whitespace here and there.
struct RandomTable {
    std::string bytes;
    std::vector<std::string> tokens;
    std::int32_t K;
};

RandomTable MakeRandomTable(std::mt19937& random, std::int32_t k, int cases) {
    RandomTable table;
    table.K = k;
    for (int line = 0; line <= cases; ++line) {
        for (int c = 0; c < k; ++c) {
            std::string token;
            const unsigned kind = random() % 100;
            const std::size_t length = kind == 0   ? 3000 + random() % 3000
                                       : kind < 20 ? 1 + random() % 40
                                                   : 14 + random() % 5;
            for (std::size_t i = 0; i < length; ++i)
                token +=
                    static_cast<char>(kind == 1 ? '\x80' + random() % 127 : 'a' + random() % 26);
            table.bytes += token;
            table.tokens.push_back(std::move(token));
            const unsigned gap = random() % 200;
            table.bytes += c + 1 < k ? (gap == 0   ? " \t\v"
                                        : gap == 1 ? " "
                                                   : "\t")
                                     : (gap < 20    ? "\r\n"
                                        : gap == 20 ? "\n\n\f"
                                                    : "\n");
        }
    }
    return table;
}

TEST(RectangularDataTest, LargeFilesMatchTheTextByTheBook) {
    std::mt19937 random(5);
    const RandomTable table = MakeRandomTable(random, 7, 20000);
    ASSERT_GT(table.bytes.size(), std::size_t{2} << 20);
    testing::TempDir dir;
    DataSelection selection;
    selection.path = dir.Write("grande.txt", table.bytes);
    selection.K = table.K;
    const std::int32_t n = 20000;
    struct Choice {
        std::int32_t V, M;
    };
    for (const Choice& c : std::vector<Choice>{
             {7, n}, {7, n / 3}, {4, n}, {1, 777}, {0, 50}, {-2, 40}, {9, n - 3000}, {7, n + 1}}) {
        selection.chosenVariables = c.V;
        selection.chosenCases = c.M;
        const std::string expected = ReferenceText(table.tokens, table.K, c.V, c.M);
        auto text = BuildRectangularData(selection);
        std::string streamed;
        auto status = WriteRectangularData(selection, [&](std::string_view piece) {
            streamed += piece;
            return true;
        });
        if (expected.empty()) {
            EXPECT_FALSE(text.ok()) << c.V << " " << c.M;
            EXPECT_FALSE(status.ok());
            continue;
        }
        ASSERT_TRUE(text.ok()) << c.V << " " << c.M;
        EXPECT_TRUE(expected == *text) << "V " << c.V << " M " << c.M;
        EXPECT_TRUE(expected == streamed) << "V " << c.V << " M " << c.M;
    }
}

// Writing every case while counting them must give what a scan and then a write give.
TEST(RectangularDataTest, WritingAllCasesInOnePassMatchesScanThenWrite) {
    std::mt19937 random(9);
    const RandomTable big = MakeRandomTable(random, 5, 30000);
    // A complete case and an incomplete one, each longer than a block.
    const std::string hugeLines =
        "a\tb\n" + std::string(3 << 20, 'v') + "\t1\n" + std::string(2 << 20, 'w') + "\n";
    struct Case {
        const char* label;
        std::string bytes;
    };
    const std::vector<Case> files = {
        {"worked example", kExample},
        {"incomplete last case", kExample + "1\t2\r\n"},
        {"trailing tab in header", "y\tx1\tx2\t\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n"},
        {"header only", "y\tx\n"},
        {"fewer tokens than names", "y\t\tz\n"},
        {"empty", ""},
        {"only whitespace", "\r\n \t\r\n"},
        {"large, incomplete last case", big.bytes + "x y"},
        {"lines longer than a block", hugeLines},
    };
    testing::TempDir dir;
    for (const Case& file : files) {
        const std::string path = dir.Write("d.txt", file.bytes);
        auto counts = ScanDataFile(path);
        ASSERT_TRUE(counts.ok());
        for (std::optional<std::int32_t> v :
             {std::optional<std::int32_t>{}, std::optional<std::int32_t>{0},
              std::optional<std::int32_t>{1}, std::optional<std::int32_t>{counts->K + 1},
              std::optional<std::int32_t>{-1}}) {
            DataSelection selection;
            selection.path = path;
            selection.K = counts->K;
            selection.chosenVariables = v.value_or(counts->K);
            selection.chosenCases = counts->N;
            auto expected = BuildRectangularData(selection);
            std::string streamed;
            auto all = WriteAllRectangularData(path, v, [&](std::string_view piece) {
                streamed += piece;
                return true;
            });
            const std::string label =
                std::string(file.label) + " V " + std::to_string(selection.chosenVariables);
            ASSERT_EQ(expected.ok(), all.ok()) << label;
            if (!expected.ok()) {
                EXPECT_EQ(expected.error().kind, all.error().kind) << label;
                EXPECT_EQ(expected.error().needed, all.error().needed) << label;
                EXPECT_EQ(expected.error().available, all.error().available) << label;
                EXPECT_EQ(DescribeDataError(expected.error()), DescribeDataError(all.error()));
                continue;
            }
            EXPECT_TRUE(*expected == streamed) << label;
            EXPECT_EQ(counts->K, all->K) << label;
            EXPECT_EQ(counts->N, all->N) << label;
        }
    }
}

} // namespace
} // namespace zento
