// Temporary file plus rename, with nothing left behind on failure.
#include "atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

namespace zento::cli {

namespace {

namespace fs = std::filesystem;

DataError WriteError(const std::string& target, int systemError) {
    DataError error;
    error.kind = DataErrorKind::WriteFailed;
    error.path = target;
    error.systemError = systemError;
    return error;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A new file beside target that did not exist before ("x" refuses to open an existing one).
File CreateTemporary(const fs::path& target, fs::path& created, int& systemError) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Appended piece by piece: GCC 12 at -O3 warns wrongly about "." + name (-Wrestrict).
        std::string name = ".";
        name += target.filename().string();
        name += ".tmp";
        name += std::to_string(random() % 1000000007);
        const fs::path candidate = target.parent_path() / name;
        errno = 0;
        if (std::FILE* file = std::fopen(candidate.string().c_str(), "wbx")) {
            created = candidate;
            return File(file);
        }
        if (errno != EEXIST) {
            systemError = errno ? errno : EIO;
            return nullptr;
        }
    }
    systemError = EEXIST;
    return nullptr;
}

// Runs the writer into file and flushes it: the writer's own error, or WriteFailed for target
// with the errno of the failed write or flush.
Status WriteContent(std::FILE* file, const std::string& target, const ContentWriter& write) {
    int writeError = 0;
    const TextSink sink = [&](std::string_view piece) {
        errno = 0;
        if (std::fwrite(piece.data(), 1, piece.size(), file) == piece.size())
            return true;
        writeError = errno ? errno : EIO;
        return false;
    };
    Status written = write(sink);
    if (!written) {
        if (written.error().kind == DataErrorKind::WriteFailed)
            return WriteError(target, writeError);
        return written;
    }
    errno = 0;
    if (std::fflush(file) != 0)
        return WriteError(target, errno ? errno : EIO);
    return Done{};
}

// Writes straight into a device or pipe: nothing there can be replaced or taken back.
Status WriteInPlace(const std::string& target, const ContentWriter& write) {
    errno = 0;
    File file(std::fopen(target.c_str(), "wb"));
    if (!file)
        return WriteError(target, errno ? errno : EIO);
    Status written = WriteContent(file.get(), target, write);
    if (!written)
        return written;
    errno = 0;
    if (std::fclose(file.release()) != 0)
        return WriteError(target, errno ? errno : EIO);
    return Done{};
}

} // namespace

bool WritesInPlace(const std::string& target) {
    std::error_code ec;
    const fs::file_status status = fs::status(fs::path(target), ec);
    return !ec && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status);
}

Status WriteFileAtomically(const std::string& target, const ContentWriter& write) {
    std::error_code ec;
    if (fs::is_directory(fs::path(target), ec))
        return WriteError(target, EISDIR);
    if (WritesInPlace(target))
        return WriteInPlace(target, write);
    fs::path targetPath(target);
    if (fs::is_symlink(targetPath, ec)) {
        // Replace the file the link leads to; a dangling link is replaced itself.
        const fs::path resolved = fs::canonical(targetPath, ec);
        if (!ec)
            targetPath = resolved;
    }
    fs::path temporary;
    int systemError = 0;
    File file = CreateTemporary(targetPath, temporary, systemError);
    if (!file)
        return WriteError(target, systemError);
    const auto discard = [&] {
        file.reset();
        fs::remove(temporary, ec);
    };

    Status written = WriteContent(file.get(), target, write);
    if (!written) {
        discard();
        return written;
    }
    errno = 0;
    if (std::fclose(file.release()) != 0) {
        const int closeError = errno ? errno : EIO;
        discard();
        return WriteError(target, closeError);
    }
    // A replaced file keeps its permissions.
    const fs::file_status old = fs::status(targetPath, ec);
    if (!ec && fs::exists(old))
        fs::permissions(temporary, old.permissions(), ec);
    fs::rename(temporary, targetPath, ec);
    if (ec) {
        const int renameError = ec.value();
        fs::remove(temporary, ec);
        return WriteError(target, renameError);
    }
    return Done{};
}

} // namespace zento::cli
