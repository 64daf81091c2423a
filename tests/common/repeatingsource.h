// A byte source of billions of one-letter tokens without a file: a header, then "a\n" again
// and again.
#pragma once

#include "datafile/bytesource.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace zento::testing {

// Hands out the same chunk again and again, refilling it only when a read asks for more.
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

} // namespace zento::testing
