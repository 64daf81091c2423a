// Rectangular data: the odd-but-specified counts, refusals, and large files against the reference
// in every way of writing them. The worked examples run through zento-cli datos in tests/cli.
#include "winbugs/rectangulardata.h"

#include "common/reference.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace zento {
namespace {

const std::string kExample = "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n";

DataSelection Selection(std::string path, std::int32_t k, std::int32_t v, std::int32_t m) {
    DataSelection selection;
    selection.path = std::move(path);
    selection.K = k;
    selection.chosenVariables = v;
    selection.chosenCases = m;
    return selection;
}

TEST(RectangularDataTest, WritesTheChosenColumnsAndCasesOrRefuses) {
    const std::string all = "y[]\tx1[]\tx2[]\t\r\n1\t0.5\t2\t\r\n0\t1.5\t3\t\r\nEND\r\n";
    const std::string longValue(200000, '7');
    struct Case {
        std::string bytes;
        std::int32_t K, V, M;
        std::string expected; // empty: refused
        std::int64_t needed = 0, available = 0;
    };
    const std::vector<Case> cases = {
        {"y\tx1\tx2\n1\t0.5\t2\n0\t1.5\t3\n", 3, 3, 2, all},
        {"y\tx1\tx2\n1 0.5\n2\n0 1.5 3\n", 3, 3, 2, all}, // ragged rows: read in token order
        {kExample, 3, 2, 0, "y[]\tx1[]\t\r\nEND\r\n"},
        {kExample, 3, -1, 1, "\r\n\r\nEND\r\n"}, // each line drops K - V = 4
        {kExample, 3, 4, 1, "y[]\tx1[]\tx2[]\t1[]\t\r\n0.5\t2\t0\t1.5\t\r\nEND\r\n"},
        {"a\xf1\tb\n" + longValue + "\t\xe9\n", 2, 2, 1,
         "a\xf1[]\tb[]\t\r\n" + longValue + "\t\xe9\t\r\nEND\r\n"},
        {kExample, 3, 1, 3, "", 12, 9}, // dropped tokens count too
        {"y\tx\n", 2, 5, 0, "", 5, 2},
        {kExample, 3, -2, 1, "", 10, 9},
    };
    testing::TempDir dir;
    for (const Case& c : cases) {
        const DataSelection selection = Selection(dir.Write("d.txt", c.bytes), c.K, c.V, c.M);
        auto text = BuildRectangularData(selection);
        ASSERT_EQ(!c.expected.empty(), text.ok()) << c.V << " " << c.M;
        if (text) {
            EXPECT_EQ(c.expected, *text);
            continue;
        }
        EXPECT_EQ(c.needed, text.error().needed) << c.V << " " << c.M;
        EXPECT_EQ(DescribeDataError(RectangularShortage(selection, c.available)),
                  DescribeDataError(text.error()));
    }
}

TEST(RectangularDataTest, LargeFilesMatchTheReferenceInEveryWayOfWriting) {
    std::minstd_rand random(5);
    // Tokens straddle the reader's chunks and the text fills several blocks; the last case is
    // incomplete. Then a complete and an incomplete case, each longer than a block.
    const std::vector<std::string> files = {testing::RandomTable(random, 7, 20001) + "x y",
                                            "a\tb\n" + std::string(3 << 20, 'v') + "\t1\n" +
                                                std::string(2 << 20, 'w') + "\n"};
    testing::TempDir dir;
    for (const std::string& bytes : files) {
        const std::string path = dir.Write("d.txt", bytes);
        const auto tokens = testing::ReferenceTokens(bytes);
        const auto k = static_cast<std::int32_t>(testing::ReferenceFirstLineTabs(bytes) + 1);
        const auto n = static_cast<std::int32_t>(tokens.size() / k - 1);
        for (auto [v, m] : std::vector<std::pair<std::int32_t, std::int32_t>>{{k, n},
                                                                              {k, n / 3},
                                                                              {4, n},
                                                                              {1, 777},
                                                                              {0, 50},
                                                                              {-2, 40},
                                                                              {k + 2, n - 3000},
                                                                              {k, n + 1}}) {
            const DataSelection selection = Selection(path, k, v, m);
            const auto expected = testing::ReferenceRectangular(tokens, k, v, m);
            auto text = BuildRectangularData(selection);
            std::string streamed;
            int pieces = 0;
            auto status = WriteRectangularData(selection, [&](std::string_view piece) {
                streamed += piece;
                ++pieces;
                return true;
            });
            ASSERT_EQ(expected.has_value(), text.ok()) << v << " " << m;
            ASSERT_EQ(expected.has_value(), status.ok()) << v << " " << m;
            if (!expected)
                continue;
            EXPECT_TRUE(*expected == *text) << v << " " << m;
            EXPECT_TRUE(*expected == streamed) << v << " " << m;
            // Streamed in blocks, neither token by token nor as one whole.
            EXPECT_LT(pieces, 100);
            EXPECT_GE(pieces, static_cast<int>(expected->size() >> 20));
            if (m != n || v > k || v < 0)
                continue;
            // Every case counted while it is written, in one pass.
            std::string onePass;
            auto counts = WriteAllRectangularData(path, v, [&](std::string_view piece) {
                onePass += piece;
                return true;
            });
            ASSERT_TRUE(counts.ok()) << v;
            EXPECT_EQ(n, counts->N);
            EXPECT_TRUE(*expected == onePass) << v;
        }
    }
    int calls = 0;
    auto failed = WriteRectangularData(Selection(dir.Write("d.txt", files[0]), 7, 7, 20000),
                                       [&](std::string_view) { return ++calls < 2; });
    EXPECT_EQ(DataErrorKind::WriteFailed, failed.error().kind);
    EXPECT_EQ(2, calls);
}

} // namespace
} // namespace zento
