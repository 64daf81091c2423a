// K and N of data files of every shape, and counts that no longer fit 32 bits.
#include "datafile/scandatafile.h"
#include "datafile/tokentally.h"

#include "common/repeatingsource.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace zento {
namespace {

struct ScanCase {
    const char* label;
    std::string bytes;
    std::int32_t K;
    std::int32_t N;
};

// 30000 names, about 90 KB: more than one read of the header.
std::string WideHeader() {
    std::string header = "n0";
    for (int i = 1; i < 30000; ++i)
        header += "\tn" + std::to_string(i);
    return header + "\n" + std::string(29999, '1') + "\n";
}

std::string LongHeader() {
    // 120 characters before the tabs: a reader that looks only at a fixed prefix misses them.
    return std::string(120, 'h') + "\ta\tb\n1 2 3\n";
}

TEST(ScanDataFileTest, CountsVariablesAndCases) {
    const std::vector<ScanCase> cases = {
        {"worked example", "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n", 3, 2},
        {"no final line end", "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3", 3, 2},
        {"LF line ends", "y\tx1\tx2\n1\t0.5\t2\n0\t1.5\t3\n", 3, 2},
        {"blank line between rows", "y\tx1\tx2\r\n1\t0.5\t2\r\n\r\n0\t1.5\t3\r\n", 3, 2},
        {"trailing tab in header", "y\tx1\tx2\t\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n", 4, 1},
        {"space-separated header", "y x1 x2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n", 1, 8},
        {"header only", "y\tx1\tx2\r\n", 3, 0},
        {"empty file", "", 1, -1},
        {"only line ends", "\r\n\r\n", 1, -1},
        {"one value too many", "y\tx1\tx2\n1 2 3\n4 5 6 7\n", 3, 2},
        {"one value too few", "y\tx1\tx2\n1 2 3\n4 5\n", 3, 1},
        {"tabs beyond 99 characters count", LongHeader(), 3, 1},
        {"header without line end", "a\tb", 2, 0},
        {"header longer than one read", WideHeader(), 30000, 0},
    };
    testing::TempDir dir;
    for (const ScanCase& c : cases) {
        auto counts = ScanDataFile(dir.Write("d.txt", c.bytes));
        ASSERT_TRUE(counts.ok()) << c.label;
        EXPECT_EQ(c.K, counts->K) << c.label;
        EXPECT_EQ(c.N, counts->N) << c.label;
        auto k = ReadColumnCount(dir.File("d.txt"));
        ASSERT_TRUE(k.ok());
        EXPECT_EQ(c.K, *k) << c.label;
    }
}

TEST(ScanDataFileTest, UnreadableFileIsAnErrorNotAnEmptyFile) {
    testing::TempDir dir;
    auto missing = ScanDataFile(dir.File("falta.txt"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(DataErrorKind::Unreadable, missing.error().kind);
    EXPECT_EQ(dir.File("falta.txt"), missing.error().path);

    auto directory = ScanDataFile(dir.path().string());
    ASSERT_FALSE(directory.ok());
    EXPECT_EQ(DataErrorKind::NotRegularFile, directory.error().kind);

    EXPECT_FALSE(ReadColumnCount(dir.File("falta.txt")).ok());
    EXPECT_FALSE(CountTokensUpTo(dir.File("falta.txt"), 0).ok());
}

TEST(ScanDataFileTest, CountTokensUpToStopsAtTheLimit) {
    testing::TempDir dir;
    const std::string path = dir.Write("d.txt", "a b c d e");
    for (auto [limit, expected] : std::vector<std::pair<std::int64_t, std::int64_t>>{
             {-5, 0}, {0, 0}, {3, 3}, {5, 5}, {9, 5}, {INT64_MAX, 5}}) {
        auto counted = CountTokensUpTo(path, limit);
        ASSERT_TRUE(counted.ok());
        EXPECT_EQ(expected, *counted) << limit;
    }
}

TEST(ScanCountsTest, CountsBeyondThirtyTwoBitsAreRefused) {
    constexpr std::uint64_t kMax = INT32_MAX;
    struct Case {
        std::uint64_t tabs, tokens;
        bool fits;
        std::int32_t K, N;
    };
    for (const Case& c : std::vector<Case>{
             {0, 0, true, 1, -1},
             {0, kMax + 1, true, 1, INT32_MAX}, // N = 2^31 - 1 exactly
             {0, kMax + 2, false, 0, 0},        // N = 2^31
             {1, 2 * (kMax + 1), true, 2, INT32_MAX},
             {1, 2 * (kMax + 1) + 2, false, 0, 0},
             {kMax - 1, 3 * kMax, true, INT32_MAX, 2}, // K = 2^31 - 1
             {kMax, 0, false, 0, 0},                   // K = 2^31
             {UINT64_MAX, UINT64_MAX, false, 0, 0},
             {0, UINT64_MAX, false, 0, 0},
         }) {
        TokenTally tally;
        tally.firstLineTabs = c.tabs;
        tally.tokens = c.tokens;
        auto counts = CountsFromTally(tally, "big.txt");
        ASSERT_EQ(c.fits, counts.ok()) << c.tabs << " " << c.tokens;
        if (c.fits) {
            EXPECT_EQ(c.K, counts->K);
            EXPECT_EQ(c.N, counts->N);
        } else {
            EXPECT_EQ(DataErrorKind::CountTooLarge, counts.error().kind);
        }
    }
}

TEST(ScanCountsTest, MoreThanTwoToThe31TokensAreCountedIn64Bits) {
    // 2^31 + 3 tokens after a one-name header: K = 1, N = 2^31 + 3, which 32 bits cannot hold.
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

namespace zento {
namespace {

TEST(ScanDataFileTest, BundledExamplesHaveTheirDocumentedShape) {
    struct Case {
        const char* file;
        std::int32_t K, N;
    };
    for (const Case& c :
         std::vector<Case>{{"birthwt.txt", 6, 189}, {"vaso.txt", 3, 39}, {"beetles.txt", 2, 481}}) {
        auto counts = ScanDataFile(std::string(ZENTO_EXAMPLES_DIR) + "/" + c.file);
        ASSERT_TRUE(counts.ok()) << c.file;
        EXPECT_EQ(c.K, counts->K) << c.file;
        EXPECT_EQ(c.N, counts->N) << c.file;
        EXPECT_EQ(std::int64_t{c.K} * (c.N + 1), counts->tokens) << c.file;
    }
}

} // namespace
} // namespace zento
