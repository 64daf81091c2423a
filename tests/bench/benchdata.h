// The benchmark data: a table shaped like the reference file, the same bytes on every machine.
#pragma once

#include <charconv>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>

namespace zento::bench {

// A header "y x1 ... x9", then per case a 0/1 response and nine decimals such as "-12.3456" or
// "7.0412", tab-separated with LF line ends: 77.6 bytes per case on average, so a million cases
// make a file of about 77.6 MB.
inline std::string GenerateCases(std::int64_t cases) {
    std::mt19937_64 random(20240611); // mt19937_64 is the same sequence everywhere
    std::string text = "y";
    for (int c = 1; c < 10; ++c)
        text += "\tx" + std::to_string(c);
    text += '\n';
    text.reserve(static_cast<std::size_t>(cases) * 80 + text.size());
    char value[32];
    for (std::int64_t i = 0; i < cases; ++i) {
        text += (random() & 1) ? '1' : '0';
        for (int c = 1; c < 10; ++c) {
            const std::uint64_t r = random();
            char* p = value;
            if (r & 1)
                *p++ = '-';
            p = std::to_chars(p, std::end(value), (r >> 1) % 100).ptr;
            *p++ = '.';
            const unsigned decimals = static_cast<unsigned>((r >> 8) % 10000);
            for (unsigned div = 1000; div > 0; div /= 10)
                *p++ = static_cast<char>('0' + decimals / div % 10);
            text += '\t';
            text.append(value, p);
        }
        text += '\n';
    }
    return text;
}

} // namespace zento::bench
