// The SSE2 and scalar whitespace loops against a byte-by-byte reference, on random bytes with
// whitespace at every position of the 16- and 64-byte blocks.
#include "datafile/bytescan.h"
#include "datafile/whitespace.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>
#include <vector>

namespace zento {
namespace {

// Bytes around the edges of the whitespace set and of signed/unsigned arithmetic.
constexpr unsigned char kTricky[] = {0,  8,   9,   10,  11,  12,  13,  14,  31,  32,
                                     33, 127, 128, 137, 141, 160, 223, 224, 255, 'a'};

std::string RandomBytes(std::mt19937& random, std::size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        const unsigned pick = random() % 4;
        c = static_cast<char>(pick == 0   ? random() % 256
                              : pick == 1 ? kTricky[random() % std::size(kTricky)]
                                          : (pick == 2 ? ' ' : 'x'));
    }
    return bytes;
}

std::uint64_t ReferenceStarts(const std::string& bytes, bool afterWhitespace) {
    std::uint64_t starts = 0;
    for (char c : bytes) {
        starts += afterWhitespace && !IsWhitespace(c);
        afterWhitespace = IsWhitespace(c);
    }
    return starts;
}

using CopyFunction = void (*)(char*, const char*, std::size_t);
using CountFunction = std::uint64_t (*)(const char*, const char*, bool&);
using MaskFunction = void (*)(const char*, std::size_t, std::uint64_t*);

struct Twin {
    const char* name;
    CountFunction count;
    MaskFunction masks;
    CopyFunction copy;
};

std::vector<Twin> Twins() {
    std::vector<Twin> twins = {
        {"scalar", &bytescan::CountTokenStartsScalar, &bytescan::WhitespaceMasksScalar,
         &bytescan::CopyWhitespaceAsTabsScalar},
        {"chosen", &bytescan::CountTokenStarts, &bytescan::WhitespaceMasks,
         &bytescan::CopyWhitespaceAsTabs},
    };
#if ZENTO_HAVE_SSE2
    twins.push_back({"sse2", &bytescan::CountTokenStartsSse2, &bytescan::WhitespaceMasksSse2,
                     &bytescan::CopyWhitespaceAsTabsSse2});
#endif
    return twins;
}

TEST(ByteScanTest, EveryByteValueIsClassifiedAsTheTableSays) {
    std::string all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    for (const Twin& twin : Twins()) {
        std::vector<std::uint64_t> masks(4);
        twin.masks(all.data(), all.size(), masks.data());
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(IsWhitespace(static_cast<char>(i)), (masks[i / 64] >> (i % 64) & 1) != 0)
                << twin.name << " byte " << i;
        }
    }
}

TEST(ByteScanTest, TwinsAgreeWithTheReferenceOnRandomBytes) {
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        const std::size_t size = 64 * (random() % 12);
        std::string bytes = RandomBytes(random, size + random() % 64);
        // Whitespace and tokens right at the block edges.
        for (std::size_t edge = 15; edge + 1 < bytes.size(); edge += 16) {
            bytes[edge] = static_cast<char>(kTricky[random() % std::size(kTricky)]);
            bytes[edge + 1] = static_cast<char>(kTricky[random() % std::size(kTricky)]);
        }
        const bool afterWhitespace = random() % 2 == 0;
        const std::uint64_t expected = ReferenceStarts(bytes, afterWhitespace);
        for (const Twin& twin : Twins()) {
            bool flag = afterWhitespace;
            EXPECT_EQ(expected, twin.count(bytes.data(), bytes.data() + bytes.size(), flag))
                << twin.name << " round " << round;
            EXPECT_EQ(bytes.empty() ? afterWhitespace : IsWhitespace(bytes.back()), flag);

            // Split anywhere: the flag carries the state across.
            const std::size_t cut = bytes.empty() ? 0 : random() % bytes.size();
            flag = afterWhitespace;
            std::uint64_t split = twin.count(bytes.data(), bytes.data() + cut, flag);
            split += twin.count(bytes.data() + cut, bytes.data() + bytes.size(), flag);
            EXPECT_EQ(expected, split) << twin.name << " cut " << cut;

            // Whitespace copied as tabs; the 15 bytes of room after the copy may change.
            std::string copied(bytes.size() + 15, '#');
            const std::string source = bytes + std::string(15, ' ');
            twin.copy(copied.data(), source.data(), bytes.size());
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                ASSERT_EQ(IsWhitespace(bytes[i]) ? '\t' : bytes[i], copied[i])
                    << twin.name << " round " << round << " byte " << i;
            }

            const std::size_t whole = bytes.size() / 64 * 64;
            std::vector<std::uint64_t> masks(whole / 64);
            twin.masks(bytes.data(), whole, masks.data());
            for (std::size_t i = 0; i < whole; ++i) {
                ASSERT_EQ(IsWhitespace(bytes[i]), (masks[i / 64] >> (i % 64) & 1) != 0)
                    << twin.name << " round " << round << " byte " << i;
            }
        }
    }
}

TEST(ByteScanTest, CountBitsCountsEveryBit) {
    std::mt19937_64 random(3);
    for (std::uint64_t x : {std::uint64_t{0}, ~std::uint64_t{0}, std::uint64_t{1} << 63,
                            std::uint64_t{0x8000000000000001}, random(), random(), random()})
        EXPECT_EQ(static_cast<unsigned>(std::popcount(x)), bytescan::CountBits(x)) << x;
}

TEST(ByteScanTest, LongRunsDoNotOverflowTheLaneCounters) {
    // 255 blocks are summed at a time; a token in every other byte for longer than that.
    std::string bytes;
    for (int i = 0; i < 20000; ++i)
        bytes += "a ";
    for (const Twin& twin : Twins()) {
        bool flag = true;
        EXPECT_EQ(20000u, twin.count(bytes.data(), bytes.data() + bytes.size(), flag)) << twin.name;
        flag = false;
        EXPECT_EQ(19999u, twin.count(bytes.data(), bytes.data() + bytes.size(), flag)) << twin.name;
    }
}

} // namespace
} // namespace zento
