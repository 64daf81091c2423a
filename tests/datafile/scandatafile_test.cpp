// K and N of data files of every shape, and counts that no longer fit 32 bits.
#include "datafile/scandatafile.h"
#include "datafile/tokentally.h"

#include "common/repeatingsource.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zento {
namespace {

TEST(ScanDataFileTest, CountsVariablesAndCases) {
    // 30000 names, about 90 KB: more than one read of the header.
    std::string wide = "n0";
    for (int i = 1; i < 30000; ++i)
        wide += "\tn" + std::to_string(i);
    struct Case {
        std::string bytes;
        std::int32_t K, N;
    };
    const std::vector<Case> cases = {
        {"y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n", 3, 2},
        {"y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3", 3, 2},
        {"y\tx1\tx2\n1\t0.5\t2\n0\t1.5\t3\n", 3, 2},
        {"y\tx1\tx2\r1\t0.5\t2\r0\t1.5\t3\r", 7, 0}, // CR alone ends no line
        {"y\tx1\tx2\r\n1\t0.5\t2\r\n\r\n0\t1.5\t3\r\n", 3, 2},
        {"y\tx1\tx2\t\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n", 4, 1},
        {"y x1 x2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n", 1, 8},
        {"y\tx1\tx2\r\n", 3, 0},
        {"", 1, -1},
        {"\r\n\r\n", 1, -1},
        {"y\tx1\tx2\n1 2 3\n4 5 6 7\n", 3, 2},
        {"y\tx1\tx2\n1 2 3\n4 5\n", 3, 1},
        {std::string(120, 'h') + "\ta\tb\n1 2 3\n", 3, 1}, // tabs far from the start count
        {"a\tb", 2, 0},
        {wide + "\n" + std::string(29999, '1') + "\n", 30000, 0},
    };
    testing::TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.Write("d.txt", c.bytes);
        auto counts = ScanDataFile(path);
        ASSERT_TRUE(counts.ok()) << c.bytes;
        EXPECT_EQ(c.K, counts->K) << c.bytes;
        EXPECT_EQ(c.N, counts->N) << c.bytes;
        EXPECT_EQ(c.K, ReadColumnCount(path).value()) << c.bytes;
    }
    const std::string path = dir.Write("d.txt", "a b c d e");
    for (auto [limit, expected] : std::vector<std::pair<std::int64_t, std::int64_t>>{
             {-5, 0}, {0, 0}, {3, 3}, {5, 5}, {9, 5}, {INT64_MAX, 5}})
        EXPECT_EQ(expected, CountTokensUpTo(path, limit).value()) << limit;
}

TEST(ScanCountsTest, CountsBeyondThirtyTwoBitsAreRefused) {
    constexpr std::uint64_t kMax = INT32_MAX;
    struct Case {
        std::uint64_t tabs, tokens;
        std::int32_t K, N; // K 0: refused
    };
    for (const Case& c : std::vector<Case>{
             {0, 0, 1, -1},
             {0, kMax + 1, 1, INT32_MAX}, // N = 2^31 - 1 exactly
             {0, kMax + 2, 0, 0},         // N = 2^31
             {1, 2 * (kMax + 1), 2, INT32_MAX},
             {1, 2 * (kMax + 1) + 2, 0, 0},
             {kMax - 1, 3 * kMax, INT32_MAX, 2}, // K = 2^31 - 1
             {kMax, 0, 0, 0},                    // K = 2^31
             {UINT64_MAX, UINT64_MAX, 0, 0},
             {0, UINT64_MAX, 0, 0},
         }) {
        TokenTally tally;
        tally.firstLineTabs = c.tabs;
        tally.tokens = c.tokens;
        auto counts = CountsFromTally(tally, "big.txt");
        ASSERT_EQ(c.K != 0, counts.ok()) << c.tabs << " " << c.tokens;
        if (counts) {
            EXPECT_EQ(c.K, counts->K);
            EXPECT_EQ(c.N, counts->N);
        } else {
            EXPECT_EQ(DataErrorKind::CountTooLarge, counts.error().kind);
        }
    }
    // 2^31 + 3 tokens after a one-name header, counted from a source without a file.
    const std::uint64_t values = (std::uint64_t{1} << 31) + 3;
    testing::RepeatingSource source("y\n", values);
    auto tally = TallyTokens(source, "big.txt");
    ASSERT_TRUE(tally.ok());
    EXPECT_EQ(values + 1, tally->tokens);
    auto counts = CountsFromTally(*tally, "big.txt");
    ASSERT_FALSE(counts.ok());
    EXPECT_EQ(DataErrorKind::CountTooLarge, counts.error().kind);
    EXPECT_EQ(static_cast<std::int64_t>(values + 1), counts.error().available);
}

} // namespace
} // namespace zento
