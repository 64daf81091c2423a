// Finding whitespace in bulk, the inner loops of the reader and the counter: SSE2 on the
// processors that all have it (every x86-64), a scalar twin elsewhere. Both twins are built
// where SSE2 exists so that the tests can hold them to the same results; ZENTO_SCALAR_ONLY
// leaves SSE2 out entirely.
#pragma once

#include <cstddef>
#include <cstdint>

#if (defined(__SSE2__) || defined(_M_X64)) && !defined(ZENTO_SCALAR_ONLY)
#define ZENTO_HAVE_SSE2 1
#else
#define ZENTO_HAVE_SSE2 0
#endif

namespace zento::bytescan {

// One bit per byte: bit i of masks[w] is set when data[64 w + i] is whitespace.
// size must be a multiple of 64; masks receives size / 64 words.
void WhitespaceMasksScalar(const char* data, std::size_t size, std::uint64_t* masks);

// Tokens that start in [begin, end), given whether the byte before begin was whitespace;
// updates that flag for the next piece.
std::uint64_t CountTokenStartsScalar(const char* begin, const char* end, bool& afterWhitespace);

// Copies size bytes from src to dst, each whitespace byte as a tab.
void CopyWhitespaceAsTabsScalar(char* dst, const char* src, std::size_t size);

// A line as CopyLineAsTabs found it.
struct LineScan {
    std::size_t length = 0; // bytes before the LF; size when there is none within size
    std::size_t blanks = 0; // whitespace bytes among them
    bool adjacent = false;  // two of them in a row
};
// Copies src up to its first LF (not included), or size bytes when there is none before, to
// dst with each whitespace byte as a tab.
LineScan CopyLineAsTabsScalar(char* dst, const char* src, std::size_t size);

#if ZENTO_HAVE_SSE2
// Moves whole 16-byte blocks: up to 15 bytes past src + size are read and past dst + size
// written (with their old values or any), so both must have that room.
void CopyWhitespaceAsTabsSse2(char* dst, const char* src, std::size_t size);
LineScan CopyLineAsTabsSse2(char* dst, const char* src, std::size_t size);
void WhitespaceMasksSse2(const char* data, std::size_t size, std::uint64_t* masks);
std::uint64_t CountTokenStartsSse2(const char* begin, const char* end, bool& afterWhitespace);
#endif

inline void WhitespaceMasks(const char* data, std::size_t size, std::uint64_t* masks) {
#if ZENTO_HAVE_SSE2
    WhitespaceMasksSse2(data, size, masks);
#else
    WhitespaceMasksScalar(data, size, masks);
#endif
}

// Up to 15 bytes past src + size and dst + size may be read and overwritten.
inline void CopyWhitespaceAsTabs(char* dst, const char* src, std::size_t size) {
#if ZENTO_HAVE_SSE2
    CopyWhitespaceAsTabsSse2(dst, src, size);
#else
    CopyWhitespaceAsTabsScalar(dst, src, size);
#endif
}

// Up to 15 bytes past src + size and dst + size may be read and overwritten.
inline LineScan CopyLineAsTabs(char* dst, const char* src, std::size_t size) {
#if ZENTO_HAVE_SSE2
    return CopyLineAsTabsSse2(dst, src, size);
#else
    return CopyLineAsTabsScalar(dst, src, size);
#endif
}

// The set bits of x (std::popcount is a library call where the processor may lack POPCNT).
inline unsigned CountBits(std::uint64_t x) {
    x -= x >> 1 & 0x5555555555555555;
    x = (x & 0x3333333333333333) + (x >> 2 & 0x3333333333333333);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return static_cast<unsigned>((x * 0x0101010101010101) >> 56);
}

inline std::uint64_t CountTokenStarts(const char* begin, const char* end, bool& afterWhitespace) {
#if ZENTO_HAVE_SSE2
    return CountTokenStartsSse2(begin, end, afterWhitespace);
#else
    return CountTokenStartsScalar(begin, end, afterWhitespace);
#endif
}

} // namespace zento::bytescan
