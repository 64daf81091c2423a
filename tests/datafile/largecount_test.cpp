// 2^31 + 3 tokens after a one-name header, counted from a source without a file: the SSE2 lanes'
// counters over a long run, and N one past the 32-bit range refused. About a minute in a Debug
// build, so it carries the label lento that a quick loop skips (ctest -LE lento).
#include "datafile/scandatafile.h"
#include "datafile/tokentally.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace zento {
namespace {

// "y\n", then "a\n" again and again, without a file. The counter only reads its buffer, so the
// pattern is written into it once.
class RepeatingSource final : public ByteSource {
public:
    explicit RepeatingSource(std::uint64_t tokens) : m_left(tokens) {}
    std::size_t Read(std::span<char> buffer) override {
        if (m_filled == nullptr) {
            std::memcpy(buffer.data(), "y\n", 2);
            m_filled = buffer.data() + 1; // refilled at the next read
            return 2;
        }
        if (buffer.data() != m_filled) {
            for (std::size_t i = 0; i + 1 < buffer.size(); i += 2)
                std::memcpy(buffer.data() + i, "a\n", 2);
            m_filled = buffer.data();
        }
        const std::uint64_t pairs = std::min<std::uint64_t>(buffer.size() / 2, m_left);
        m_left -= pairs;
        return static_cast<std::size_t>(2 * pairs);
    }

private:
    std::uint64_t m_left;
    const char* m_filled = nullptr;
};

TEST(LargeCountTest, TokensPastThirtyTwoBitsAreCountedAndRefused) {
    const std::uint64_t values = (std::uint64_t{1} << 31) + 3;
    RepeatingSource source(values);
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
