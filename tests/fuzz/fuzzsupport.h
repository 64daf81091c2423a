// What the fuzz targets share: a check that aborts, an independent token reference, a decoder
// for the counts that lead an input, and a scratch file for the readers that take a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

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

// Written apart from the readers on purpose: space, tab, LF, VT, FF and CR.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline std::vector<std::string_view> ReferenceTokens(std::string_view bytes) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (IsBlank(bytes[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < bytes.size() && !IsBlank(bytes[i]))
            ++i;
        tokens.push_back(bytes.substr(start, i - start));
    }
    return tokens;
}

// Tabs before the first LF, or in the whole input when it has none.
inline std::uint64_t ReferenceFirstLineTabs(std::string_view bytes) {
    std::uint64_t tabs = 0;
    for (char c : bytes) {
        if (c == '\n')
            break;
        tabs += c == '\t';
    }
    return tabs;
}

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

    // Mostly small counts around zero, sometimes the edges of the 32-bit range or any value.
    std::int32_t Count() {
        const std::uint8_t selector = Byte();
        if (selector < 0xE0)
            return static_cast<std::int32_t>(selector % 24) - 4;
        switch (selector & 7) {
        case 0:
            return INT32_MIN;
        case 1:
            return INT32_MIN + 1;
        case 2:
            return INT32_MAX;
        case 3:
            return INT32_MAX - 1;
        case 4:
            return static_cast<std::int32_t>(Byte()) * 3; // up to a few hundred
        default: {
            std::uint32_t value = 0;
            for (int i = 0; i < 4; ++i)
                value = value << 8 | Byte();
            return static_cast<std::int32_t>(value);
        }
        }
    }

    std::string_view rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

// One file per process, rewritten for every input, removed at exit.
class ScratchFile {
public:
    ScratchFile() {
        const std::filesystem::path shm("/dev/shm");
        std::error_code ec;
        const std::filesystem::path dir =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        m_path = (dir / ("zento-fuzz-" + std::to_string(::getpid()) + ".txt")).string();
    }
    ~ScratchFile() { std::remove(m_path.c_str()); }

    const std::string& Write(std::string_view bytes) {
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        FUZZ_CHECK(!out.fail());
        return m_path;
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

inline std::size_t CountOf(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size()))
        ++n;
    return n;
}

} // namespace zento::fuzz
