// Buffers that start on a page boundary, for the large reads and writes of the readers and the
// writers: the kernel copies into and out of such a buffer several times faster than into one
// that starts a few bytes past a cache line, as a plain new[] of a megabyte does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zento {

inline constexpr std::size_t kPageSize = 4096;

class PageBuffer {
public:
    PageBuffer() = default;
    // Uninitialised, like make_unique_for_overwrite; a page more is held to align it.
    explicit PageBuffer(std::size_t size)
        : m_block(std::make_unique_for_overwrite<char[]>(size + kPageSize - 1)),
          m_data(m_block.get() + (kPageSize - reinterpret_cast<std::uintptr_t>(m_block.get()) %
                                                   kPageSize) %
                                     kPageSize),
          m_size(size) {}

    char* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    std::unique_ptr<char[]> m_block;
    char* m_data = nullptr;
    std::size_t m_size = 0;
};

} // namespace zento
