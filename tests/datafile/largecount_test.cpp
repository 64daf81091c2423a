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

// A header, then "a\n" again and again, without a file: the same chunk is handed out again and
// again, refilled only when a read asks for more.
class RepeatingSource final : public ByteSource {
public:
    RepeatingSource(std::string_view header, std::uint64_t tokens)
        : m_header(header), m_left(tokens) {}
    std::size_t Read(std::span<char> buffer) override {
        if (!m_header.empty()) {
            const std::size_t n = std::min(buffer.size(), m_header.size());
            std::memcpy(buffer.data(), m_header.data(), n);
            m_header.remove_prefix(n);
            return n;
        }
        const std::uint64_t pairs = std::min<std::uint64_t>(buffer.size() / 2, m_left);
        // The counter does not write into its buffer, so a chunk filled once can be served again.
        if (buffer.data() != m_filled || pairs > m_filledPairs) {
            for (std::size_t i = 0; i < pairs; ++i) {
                buffer[2 * i] = 'a';
                buffer[2 * i + 1] = '\n';
            }
            m_filled = buffer.data();
            m_filledPairs = pairs;
        }
        m_left -= pairs;
        return static_cast<std::size_t>(2 * pairs);
    }

private:
    std::string_view m_header;
    std::uint64_t m_left;
    const char* m_filled = nullptr;
    std::uint64_t m_filledPairs = 0;
};

TEST(LargeCountTest, TokensPastThirtyTwoBitsAreCountedAndRefused) {
    const std::uint64_t values = (std::uint64_t{1} << 31) + 3;
    RepeatingSource source("y\n", values);
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
