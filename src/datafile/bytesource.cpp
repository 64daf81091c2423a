// File and memory byte sources.
#include "bytesource.h"

#include "systemfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zento {

Result<std::unique_ptr<FileByteSource>> FileByteSource::Open(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path name = PathFromUtf8(path);
    std::error_code ec;
    const fs::file_status status = fs::status(name, ec);
    // When the status cannot be read, opening below reports the reason; Windows's devices (NUL,
    // CON, COM1) have none, and are told by what they are, before and after opening.
    if ((!ec && status.type() != fs::file_type::regular) || (ec && IsDeviceOrPipe(name))) {
        return FileError(DataErrorKind::NotRegularFile, path,
                         !ec && status.type() == fs::file_type::directory ? EISDIR : 0);
    }
    errno = 0;
    UniqueFile file(OpenFile(name, OpenMode::Read));
    if (!file)
        return FileError(DataErrorKind::Unreadable, path, errno ? errno : ENOENT);
    if (!IsPlainFile(file.get()))
        return FileError(DataErrorKind::NotRegularFile, path, 0);
    // Reads come in large chunks already; a second buffer would only copy.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    std::uint64_t size = 0;
    if (!ec) {
        const auto fileSize = fs::file_size(name, ec);
        if (!ec)
            size = fileSize;
    }
    return std::unique_ptr<FileByteSource>(new FileByteSource(file.release(), size));
}

std::size_t FileByteSource::Read(std::span<char> buffer) {
    if (m_error || buffer.empty())
        return 0;
    errno = 0;
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), m_file.get());
    if (got < buffer.size() && std::ferror(m_file.get()))
        m_error = LastErrno();
    return m_error ? 0 : got;
}

bool FileByteSource::Rewind() {
    errno = 0;
    m_error = std::fseek(m_file.get(), 0, SEEK_SET) == 0 ? 0 : LastErrno();
    return m_error == 0;
}

std::size_t MemoryByteSource::Read(std::span<char> buffer) {
    const std::size_t n = std::min({buffer.size(), m_data.size(), m_maxRead});
    std::memcpy(buffer.data(), m_data.data(), n);
    m_data.remove_prefix(n);
    return n;
}

} // namespace zento
