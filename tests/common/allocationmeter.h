// Counts the bytes a program holds through operator new, and the most it held since a mark, so
// that a test can tell memory in proportion to a file from memory in proportion to a count.
// Include in exactly one source file of a program: it replaces the global operator new and
// delete (every form, as the sanitizers replace those left out).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace zento::testing {

namespace allocation {
inline std::atomic<std::size_t> live{0};
inline std::atomic<std::size_t> peak{0};
constexpr std::size_t kHeader = 16; // the block's size, keeping malloc's alignment

inline void* Allocate(std::size_t size) noexcept {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    const std::size_t now = live += size;
    for (std::size_t high = peak; now > high && !peak.compare_exchange_weak(high, now);) {
    }
    return block + kHeader;
}

inline void Release(void* pointer) noexcept {
    if (!pointer)
        return;
    unsigned char* block = static_cast<unsigned char*>(pointer) - kHeader;
    std::size_t size;
    std::memcpy(&size, block, sizeof size);
    live -= size;
    std::free(block);
}

inline void* AllocateOrThrow(std::size_t size) {
    if (void* pointer = Allocate(size))
        return pointer;
    throw std::bad_alloc();
}
} // namespace allocation

// The most held since construction, beyond what was held then.
class AllocationMeter {
public:
    AllocationMeter() : m_base(allocation::live) { allocation::peak = m_base; }
    std::size_t peakAbove() const { return allocation::peak - m_base; }

private:
    std::size_t m_base;
};

} // namespace zento::testing

// clang-format off
void* operator new(std::size_t n) { return zento::testing::allocation::AllocateOrThrow(n); }
void* operator new[](std::size_t n) { return zento::testing::allocation::AllocateOrThrow(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return zento::testing::allocation::Allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return zento::testing::allocation::Allocate(n); }
void operator delete(void* p) noexcept { zento::testing::allocation::Release(p); }
void operator delete[](void* p) noexcept { zento::testing::allocation::Release(p); }
void operator delete(void* p, std::size_t) noexcept { zento::testing::allocation::Release(p); }
void operator delete[](void* p, std::size_t) noexcept { zento::testing::allocation::Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { zento::testing::allocation::Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { zento::testing::allocation::Release(p); }
// clang-format on
