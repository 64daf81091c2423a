// File and memory byte sources.
#include "bytesource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zento {

Result<std::unique_ptr<FileByteSource>> FileByteSource::Open(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(fs::path(path), ec);
    // When the status cannot be read, fopen below reports the reason.
    if (!ec && status.type() != fs::file_type::regular) {
        return FileError(DataErrorKind::NotRegularFile, path,
                         status.type() == fs::file_type::directory ? EISDIR : 0);
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return FileError(DataErrorKind::Unreadable, path, errno ? errno : ENOENT);
    // Reads come in large chunks already; a second buffer would only copy.
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::uint64_t size = 0;
    if (!ec) {
        const auto fileSize = fs::file_size(fs::path(path), ec);
        if (!ec)
            size = fileSize;
    }
    return std::unique_ptr<FileByteSource>(new FileByteSource(file, size));
}

std::size_t FileByteSource::Read(std::span<char> buffer) {
    if (m_error || buffer.empty())
        return 0;
    errno = 0;
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), m_file.get());
    if (got < buffer.size() && std::ferror(m_file.get()))
        m_error = errno ? errno : EIO;
    return m_error ? 0 : got;
}

bool FileByteSource::Rewind() {
    errno = 0;
    m_error = std::fseek(m_file.get(), 0, SEEK_SET) == 0 ? 0 : (errno ? errno : EIO);
    return m_error == 0;
}

std::size_t MemoryByteSource::Read(std::span<char> buffer) {
    const std::size_t n = std::min({buffer.size(), m_data.size(), m_maxRead});
    std::memcpy(buffer.data(), m_data.data(), n);
    m_data.remove_prefix(n);
    return n;
}

} // namespace zento
