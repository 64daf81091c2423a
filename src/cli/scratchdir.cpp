// Temporary folders with unguessable names, made with create_directory's all-or-nothing.
#include "scratchdir.h"

#include "datafile/systemfile.h"

#include <cerrno>
#include <random>

namespace zento::cli {

Result<ScratchDirectory> ScratchDirectory::Create() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec)
        return FileError(DataErrorKind::WriteFailed, "", ErrnoOf(ec));
    std::random_device device;
    std::mt19937_64 random(device());
    constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "zento-";
        for (int i = 0; i < 10; ++i)
            name += kDigits[random() % kDigits.size()];
        const fs::path path = base / name;
        // False without an error when the name is taken: try another.
        if (fs::create_directory(path, ec)) {
            fs::permissions(path, fs::perms::owner_all, ec);
            return ScratchDirectory(path);
        }
        if (ec)
            return FileError(DataErrorKind::WriteFailed, Utf8FromPath(path), ErrnoOf(ec));
    }
    return FileError(DataErrorKind::WriteFailed, Utf8FromPath(base), EEXIST);
}

ScratchDirectory::ScratchDirectory(ScratchDirectory&& other) noexcept
    : m_path(std::move(other.m_path)) {
    other.m_path.clear();
}

ScratchDirectory& ScratchDirectory::operator=(ScratchDirectory&& other) noexcept {
    if (this != &other) {
        Remove();
        m_path = std::move(other.m_path);
        other.m_path.clear();
    }
    return *this;
}

ScratchDirectory::~ScratchDirectory() {
    Remove();
}

void ScratchDirectory::Remove() {
    if (m_path.empty())
        return;
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
    m_path.clear();
}

} // namespace zento::cli
