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

#if ZENTO_HAVE_SSE2
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

inline std::uint64_t CountTokenStarts(const char* begin, const char* end, bool& afterWhitespace) {
#if ZENTO_HAVE_SSE2
    return CountTokenStartsSse2(begin, end, afterWhitespace);
#else
    return CountTokenStartsScalar(begin, end, afterWhitespace);
#endif
}

} // namespace zento::bytescan
