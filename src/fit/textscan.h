// Line and field scanning shared by the CODA and R dump readers, and the strict number parses.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zento::fit {

// Hands out the lines of a text one by one, numbered from 1, without "\n" or "\r\n".
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : m_rest(text) {}

    // False at the end. complete is false for a last line that no "\n" ends.
    bool Next(std::string_view& line, bool& complete) {
        if (m_rest.empty())
            return false;
        const std::size_t end = m_rest.find('\n');
        complete = end != std::string_view::npos;
        line = m_rest.substr(0, complete ? end : m_rest.size());
        m_rest.remove_prefix(complete ? end + 1 : m_rest.size());
        if (complete && line.ends_with('\r'))
            line.remove_suffix(1);
        ++m_number;
        return true;
    }
    std::int64_t number() const { return m_number; }

private:
    std::string_view m_rest;
    std::int64_t m_number = 0;
};

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Splits line at runs of spaces and tabs into exactly n fields; false for any other count.
template <std::size_t n> bool SplitFields(std::string_view line, std::string_view (&fields)[n]) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i == line.size())
            break;
        std::size_t end = i;
        while (end < line.size() && !IsBlank(line[end]))
            ++end;
        if (count == n)
            return false;
        fields[count++] = line.substr(i, end - i);
        i = end;
    }
    return count == n;
}

// The whole token as a finite decimal number, or nothing.
inline std::optional<double> ParseFinite(std::string_view token) {
    double value = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (ec != std::errc() || end != token.data() + token.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The whole token as a decimal integer, or nothing.
inline std::optional<std::int64_t> ParseInteger(std::string_view token) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (ec != std::errc() || end != token.data() + token.size())
        return std::nullopt;
    return value;
}

} // namespace zento::fit
