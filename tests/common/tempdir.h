// A scratch directory per test, removed afterwards, with helpers to write and read files in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace zento::testing {

class TempDir {
public:
    TempDir() {
        std::string path = (std::filesystem::temp_directory_path() / "zento-test-XXXXXX").string();
        m_path = ::mkdtemp(path.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string File(std::string_view name) const { return (m_path / name).string(); }

    // Writes bytes exactly (binary) and returns the full path.
    std::string Write(std::string_view name, std::string_view bytes) const {
        std::ofstream(File(name), std::ios::binary).write(bytes.data(), std::ssize(bytes));
        return File(name);
    }

private:
    std::filesystem::path m_path;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace zento::testing
