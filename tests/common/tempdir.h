// A scratch directory per test, removed afterwards, with helpers to write and read files in it.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace zento::testing {

// Tests hold paths as UTF-8 strings with / between the parts, as the programs do; these turn
// them into paths and back without passing through the Windows code page.
inline std::filesystem::path Utf8Path(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8String(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

class TempDir {
public:
    // A name nobody else holds: create_directory reports an existing one, and another is tried.
    TempDir() {
        std::random_device seed;
        std::mt19937_64 random(seed());
        const std::filesystem::path parent = std::filesystem::temp_directory_path();
        do
            m_path = parent / ("zento-test-" + std::to_string(random() % 1000000007));
        while (!std::filesystem::create_directory(m_path));
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string File(std::string_view name) const { return Utf8String(m_path / Utf8Path(name)); }

    // Writes bytes exactly (binary) and returns the full path.
    std::string Write(std::string_view name, std::string_view bytes) const {
        std::ofstream(m_path / Utf8Path(name), std::ios::binary)
            .write(bytes.data(), std::ssize(bytes));
        return File(name);
    }

private:
    std::filesystem::path m_path;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(Utf8Path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace zento::testing
