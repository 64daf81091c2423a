// What the fuzz targets share: a check that aborts, a decoder for the counts that lead an input,
// and a scratch file for the readers that take a path. The references are in common/.
#pragma once

#include "common/reference.h"
#include "common/tempdir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

// A property that does not hold ends the run: libFuzzer keeps the input as a crash, and the
// corpus run in the test suite fails.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace zento::fuzz {

using namespace zento::testing;

// Takes the leading bytes of an input as parameters; what is left is the file.
class InputDecoder {
public:
    InputDecoder(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t Byte() {
        if (m_rest.empty())
            return 0;
        const auto byte = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return byte;
    }

    // Mostly small counts around zero (byte b < 0xE0 gives b % 24 - 4), sometimes the edges of
    // the 32-bit range (0xE0 to 0xE3: min, min + 1, max, max - 1) or any value.
    std::int32_t Count() {
        const std::uint8_t selector = Byte();
        if (selector < 0xE0)
            return static_cast<std::int32_t>(selector % 24) - 4;
        constexpr std::int32_t kEdges[] = {INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1};
        if ((selector & 7) < 4)
            return kEdges[selector & 7];
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | Byte();
        return static_cast<std::int32_t>(value);
    }

    std::string_view rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

// The file the readers that take a path read, rewritten for every input, in a directory of the
// process's own.
inline const std::string& WriteScratchFile(std::string_view bytes) {
    static const TempDir dir;
    static const std::string path = dir.File("fuzz.txt");
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::ssize(bytes));
    return path;
}

} // namespace zento::fuzz
