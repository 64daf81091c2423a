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
    // First-line tabs, tokens, then K and N, or K 0 for a refusal (CountTooLarge).
    const std::uint64_t cases[][4] = {{0, 0, 1, std::uint64_t(-1)},
                                      {0, kMax + 1, 1, kMax} /* N = 2^31 - 1 */,
                                      {0, kMax + 2, 0, 0} /* N = 2^31 */,
                                      {1, 2 * (kMax + 1), 2, kMax},
                                      {1, 2 * (kMax + 1) + 2, 0, 0},
                                      {kMax - 1, 3 * kMax, kMax, 2} /* K = 2^31 - 1 */,
                                      {kMax, 0, 0, 0} /* K = 2^31 */,
                                      {UINT64_MAX, UINT64_MAX, 0, 0},
                                      {0, UINT64_MAX, 0, 0}};
    for (const auto& [tabs, tokens, k, n] : cases) {
        TokenTally tally;
        tally.firstLineTabs = tabs;
        tally.tokens = tokens;
        auto counts = CountsFromTally(tally, "big.txt");
        ASSERT_EQ(k != 0, counts.ok()) << tabs << " " << tokens;
        EXPECT_TRUE(counts ? counts->K == std::int64_t(k) && counts->N == std::int32_t(n)
                           : counts.error().kind == DataErrorKind::CountTooLarge);
    }
}

} // namespace
} // namespace zento
