// The bytes that separate tokens in a data file: space, tab, LF, VT, FF and CR.
#pragma once

#include <array>

namespace zento {

inline constexpr std::array<bool, 256> kWhitespace = [] {
    std::array<bool, 256> table{};
    for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'})
        table[c] = true;
    return table;
}();

inline constexpr bool IsWhitespace(char c) {
    return kWhitespace[static_cast<unsigned char>(c)];
}

} // namespace zento
