// K and N from counts that no longer fit 32 bits. K and N of files of every shape are held to
// the reference by the tokens fuzz target over its corpus.
#include "datafile/scandatafile.h"
#include "datafile/tokentally.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zento {
namespace {

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
}

} // namespace
} // namespace zento
