// Whitespace masks and token-start counts, 16 bytes per SSE2 step or one byte per scalar step.
#include "bytescan.h"

#include "whitespace.h"

#include <algorithm>
#include <bit>

#if ZENTO_HAVE_SSE2
#include <emmintrin.h>
#endif

namespace zento::bytescan {

void WhitespaceMasksScalar(const char* data, std::size_t size, std::uint64_t* masks) {
    for (std::size_t w = 0; w < size / 64; ++w) {
        std::uint64_t mask = 0;
        for (unsigned i = 0; i < 64; ++i)
            mask |= std::uint64_t{IsWhitespace(data[64 * w + i])} << i;
        masks[w] = mask;
    }
}

std::uint64_t CountTokenStartsScalar(const char* begin, const char* end, bool& afterWhitespace) {
    // Branch-free: a token starts wherever a non-whitespace byte follows whitespace.
    std::uint64_t starts = 0;
    unsigned previous = afterWhitespace ? 1u : 0u;
    for (const char* p = begin; p != end; ++p) {
        const unsigned white = IsWhitespace(*p) ? 1u : 0u;
        starts += previous & (white ^ 1u);
        previous = white;
    }
    afterWhitespace = previous != 0;
    return starts;
}

void CopyWhitespaceAsTabsScalar(char* dst, const char* src, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        dst[i] = IsWhitespace(src[i]) ? '\t' : src[i];
}

LineScan CopyLineAsTabsScalar(char* dst, const char* src, std::size_t size) {
    LineScan line;
    bool previousWhite = false;
    for (; line.length < size && src[line.length] != '\n'; ++line.length) {
        const bool white = IsWhitespace(src[line.length]);
        dst[line.length] = white ? '\t' : src[line.length];
        line.blanks += white;
        line.adjacent |= white && previousWhite;
        previousWhite = white;
    }
    return line;
}

#if ZENTO_HAVE_SSE2

namespace {

// 0xFF in each lane that holds whitespace. Bytes 9 to 13 are found with one signed compare:
// adding 119 moves them to -128..-124, the only bytes that then lie below -123.
inline __m128i WhiteLanes(__m128i bytes) {
    const __m128i moved = _mm_add_epi8(bytes, _mm_set1_epi8(119));
    const __m128i control = _mm_cmplt_epi8(moved, _mm_set1_epi8(-123));
    return _mm_or_si128(control, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')));
}

inline std::uint64_t WhiteBits(const char* p) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<std::uint16_t>(_mm_movemask_epi8(WhiteLanes(bytes)));
}

} // namespace

void WhitespaceMasksSse2(const char* data, std::size_t size, std::uint64_t* masks) {
    for (std::size_t w = 0; w < size / 64; ++w) {
        const char* p = data + 64 * w;
        masks[w] = WhiteBits(p) | WhiteBits(p + 16) << 16 | WhiteBits(p + 32) << 32 |
                   WhiteBits(p + 48) << 48;
    }
}

void CopyWhitespaceAsTabsSse2(char* dst, const char* src, std::size_t size) {
    const __m128i tab = _mm_set1_epi8('\t');
    for (std::size_t i = 0; i < size; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // bytes ^ ((bytes ^ tab) & white): the tab where white, the byte elsewhere.
        const __m128i out =
            _mm_xor_si128(bytes, _mm_and_si128(_mm_xor_si128(bytes, tab), WhiteLanes(bytes)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
    }
}

LineScan CopyLineAsTabsSse2(char* dst, const char* src, std::size_t size) {
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i lanes = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    __m128i pairs = _mm_setzero_si128();
    __m128i previous = _mm_setzero_si128(); // only its last lane: the byte before the block
    LineScan line;
    line.length = size;
    for (std::size_t i = 0; i < size;) {
        // Each lane counts the whitespace at its position, subtracting -1 per byte; 255 blocks
        // at most, so that no lane can wrap before they are summed.
        __m128i counts = _mm_setzero_si128();
        const std::size_t stop = std::min(size, i + 255 * 16);
        for (; i < stop; i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            __m128i white = WhiteLanes(bytes);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                             _mm_xor_si128(bytes, _mm_and_si128(_mm_xor_si128(bytes, tab), white)));
            const unsigned lineFeeds =
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed)));
            const std::size_t end = std::min<std::size_t>(
                lineFeeds ? static_cast<std::size_t>(std::countr_zero(lineFeeds)) : 16, size - i);
            if (end < 16) {
                // Only the lanes before the LF, or before size, count.
                white = _mm_and_si128(white,
                                      _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(end)), lanes));
                line.length = lineFeeds && end < size - i ? i + end : size;
            }
            counts = _mm_sub_epi8(counts, white);
            pairs = _mm_or_si128(pairs,
                                 _mm_and_si128(white, _mm_or_si128(_mm_slli_si128(white, 1),
                                                                   _mm_srli_si128(previous, 15))));
            previous = white;
            if (end < 16) {
                i = size;
                break;
            }
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        line.blanks += static_cast<std::uint32_t>(_mm_cvtsi128_si32(sums)) +
                       static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
    line.adjacent = _mm_movemask_epi8(pairs) != 0;
    return line;
}

std::uint64_t CountTokenStartsSse2(const char* begin, const char* end, bool& afterWhitespace) {
    std::uint64_t starts = 0;
    const char* p = begin;
    const __m128i zero = _mm_setzero_si128();
    // Only the last lane is looked at: whether the byte before the next block is whitespace.
    __m128i previous = afterWhitespace ? _mm_set1_epi8(-1) : zero;
    while (end - p >= 16) {
        // Each lane counts the starts at its position, subtracting -1 per start; 255 blocks
        // at most, so that no lane can wrap before they are summed.
        const std::size_t blocks =
            std::min<std::size_t>(static_cast<std::size_t>(end - p) / 16, 255);
        const char* const stop = p + 16 * blocks;
        __m128i counts = zero;
        for (; p != stop; p += 16) {
            const __m128i white = WhiteLanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
            const __m128i whiteBefore =
                _mm_or_si128(_mm_slli_si128(white, 1), _mm_srli_si128(previous, 15));
            counts = _mm_sub_epi8(counts, _mm_andnot_si128(white, whiteBefore));
            previous = white;
        }
        const __m128i sums = _mm_sad_epu8(counts, zero); // two 16-bit sums, one per half
        starts += static_cast<std::uint32_t>(_mm_cvtsi128_si32(sums)) +
                  static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
    afterWhitespace = (_mm_movemask_epi8(previous) & 0x8000) != 0;
    return starts + CountTokenStartsScalar(p, end, afterWhitespace);
}

#endif

} // namespace zento::bytescan
