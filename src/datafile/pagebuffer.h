// Buffers that start on a page boundary, for the large reads and writes of the readers and the
// writers: the kernel copies into and out of such a buffer several times faster than into one
// that starts a few bytes past a cache line, as a plain new[] of a megabyte does.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace zento {

inline constexpr std::size_t kPageSize = 4096;

class PageBuffer {
public:
    PageBuffer() = default;
    // Uninitialised, like make_unique_for_overwrite.
    explicit PageBuffer(std::size_t size)
        : m_data(static_cast<char*>(::operator new[](size, std::align_val_t{kPageSize}))),
          m_size(size) {}

    char* data() const { return m_data.get(); }
    std::size_t size() const { return m_size; }

private:
    struct Release {
        void operator()(char* data) const {
            ::operator delete[](data, std::align_val_t{kPageSize});
        }
    };
    std::unique_ptr<char[], Release> m_data;
    std::size_t m_size = 0;
};

} // namespace zento
