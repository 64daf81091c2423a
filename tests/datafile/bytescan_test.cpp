// The SSE2 and scalar whitespace loops against a byte-by-byte reference, on every byte value
// and on random bytes with whitespace at every position of the 16- and 64-byte blocks. (The
// lanes' counters over long runs are held to account by the 2^31-token scan.)
#include "datafile/bytescan.h"

#include "common/reference.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace zento {
namespace {

using testing::IsBlank;

struct Twin {
    std::uint64_t (*count)(const char*, const char*, bool&);
    void (*masks)(const char*, std::size_t, std::uint64_t*);
    void (*copy)(char*, const char*, std::size_t);
    bytescan::LineScan (*line)(char*, const char*, std::size_t);
};

TEST(ByteScanTest, TwinsAgreeWithTheReference) {
    std::vector<Twin> twins = {{&bytescan::CountTokenStartsScalar, &bytescan::WhitespaceMasksScalar,
                                &bytescan::CopyWhitespaceAsTabsScalar,
                                &bytescan::CopyLineAsTabsScalar}};
#if ZENTO_HAVE_SSE2
    twins.push_back({&bytescan::CountTokenStartsSse2, &bytescan::WhitespaceMasksSse2,
                     &bytescan::CopyWhitespaceAsTabsSse2, &bytescan::CopyLineAsTabsSse2});
#endif
    std::mt19937 random(7);
    // A line longer than the lanes of the SSE2 counts can hold at once, too.
    std::vector<std::string> inputs = {std::string(256, '\0'), std::string(9000, 'a') + " b\n c"};
    for (int i = 0; i < 256; ++i)
        inputs[0][i] = static_cast<char>(i);
    // Bytes around the edges of the whitespace set and of signed/unsigned arithmetic.
    constexpr unsigned char kTricky[] = {0, 8, 9, 13, 14, 31, 32, 33, 127, 128, 137, 141, 160, 255};
    for (int round = 0; round < 400; ++round) {
        std::string bytes(64 * (random() % 12) + random() % 64, 'x');
        for (char& c : bytes)
            c = static_cast<char>(random() % 2 ? kTricky[random() % std::size(kTricky)]
                                               : (random() % 2 ? ' ' : random() % 256));
        inputs.push_back(bytes);
    }
    for (const std::string& bytes : inputs) {
        const bool before = bytes.size() % 3 == 0;
        std::uint64_t starts = 0;
        bool white = before;
        for (char c : bytes) {
            starts += white && !IsBlank(c);
            white = IsBlank(c);
        }
        // The line: the bytes before the first LF within a limit, its blanks, two in a row.
        const std::size_t limit = (bytes.size() + 1) / 2;
        const std::string line = bytes.substr(0, std::min(bytes.find('\n'), limit));
        const auto blanks =
            static_cast<std::size_t>(std::count_if(line.begin(), line.end(), IsBlank));
        bool adjacent = false;
        for (std::size_t i = 1; i < line.size(); ++i)
            adjacent |= IsBlank(line[i]) && IsBlank(line[i - 1]);
        for (const Twin& twin : twins) {
            // Split anywhere: the flag carries the state across.
            const std::size_t cut = bytes.size() / 3;
            bool flag = before;
            std::uint64_t counted = twin.count(bytes.data(), bytes.data() + cut, flag);
            counted += twin.count(bytes.data() + cut, bytes.data() + bytes.size(), flag);
            EXPECT_EQ(starts, counted) << bytes.size();
            EXPECT_EQ(white, flag);
            // The 15 bytes of room after the copy may change.
            std::string copied(bytes.size() + 15, '#');
            twin.copy(copied.data(), (bytes + std::string(15, ' ')).data(), bytes.size());
            std::string lineCopy(limit + 15, '#');
            const bytescan::LineScan scan =
                twin.line(lineCopy.data(), (bytes + std::string(15, ' ')).data(), limit);
            EXPECT_EQ(line.size(), scan.length);
            EXPECT_EQ(blanks, scan.blanks);
            EXPECT_EQ(adjacent, scan.adjacent);
            std::vector<std::uint64_t> masks(bytes.size() / 64);
            twin.masks(bytes.data(), masks.size() * 64, masks.data());
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                ASSERT_EQ(IsBlank(bytes[i]) ? '\t' : bytes[i], copied[i]) << i;
                ASSERT_TRUE(i >= line.size() || copied[i] == lineCopy[i]) << i;
                ASSERT_TRUE(i / 64 >= masks.size() ||
                            IsBlank(bytes[i]) == ((masks[i / 64] >> (i % 64) & 1) != 0))
                    << i;
            }
        }
    }
}

} // namespace
} // namespace zento
