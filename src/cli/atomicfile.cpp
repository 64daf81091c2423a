// Temporary files plus rename, with nothing left behind on failure.
#include "atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace zento::cli {

namespace {

namespace fs = std::filesystem;

DataError WriteError(const std::string& label, int systemError) {
    return FileError(DataErrorKind::WriteFailed, label, systemError);
}

int LastError() {
    return errno ? errno : EIO;
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
            systemError = LastError();
            return nullptr;
        }
    }
    systemError = EEXIST;
    return nullptr;
}

// Runs the writer into file, then flushes and closes it: the writer's own error, or
// WriteFailed for label with the errno of the failed write, flush or close.
Status WriteAndClose(File file, const std::string& label, const ContentWriter& write) {
    int writeError = 0;
    const TextSink sink = [&](std::string_view piece) {
        errno = 0;
        if (std::fwrite(piece.data(), 1, piece.size(), file.get()) == piece.size())
            return true;
        writeError = LastError();
        return false;
    };
    Status written = write(sink);
    if (!written) {
        if (written.error().kind == DataErrorKind::WriteFailed)
            return WriteError(label, writeError);
        return written;
    }
    errno = 0;
    if (std::fflush(file.get()) != 0 || std::fclose(file.release()) != 0)
        return WriteError(label, LastError());
    return Done{};
}

} // namespace

ContentWriter TextWriter(const std::string& text) {
    return [&text](const TextSink& sink) -> Status {
        if (sink(text))
            return Done{};
        return FileError(DataErrorKind::WriteFailed, {});
    };
}

bool WritesInPlace(const std::string& target) {
    std::error_code ec;
    const fs::file_status status = fs::status(fs::path(target), ec);
    return !ec && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status);
}

Status WriteFilesAtomically(std::span<const PlannedFile> files) {
    std::vector<fs::path> temporaries;
    std::error_code ec;
    const auto abandon = [&](const DataError& error) -> Status {
        for (const fs::path& temporary : temporaries)
            fs::remove(temporary, ec);
        return error;
    };
    for (const PlannedFile& file : files) {
        fs::path temporary;
        int systemError = 0;
        File handle = CreateTemporary(file.target, temporary, systemError);
        if (!handle)
            return abandon(WriteError(file.label, systemError));
        temporaries.push_back(temporary);
        Status written = WriteAndClose(std::move(handle), file.label, file.write);
        if (!written)
            return abandon(written.error());
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const fs::file_status old = fs::status(files[i].target, ec);
        if (!ec && fs::exists(old))
            fs::permissions(temporaries[i], old.permissions(), ec);
        fs::rename(temporaries[i], files[i].target, ec);
        if (ec)
            return abandon(WriteError(files[i].label, ec.value()));
    }
    return Done{};
}

Status WriteFileAtomically(const std::string& target, const ContentWriter& write) {
    std::error_code ec;
    if (fs::is_directory(fs::path(target), ec))
        return WriteError(target, EISDIR);
    if (WritesInPlace(target)) {
        // A device or a pipe: nothing there can be replaced or taken back.
        errno = 0;
        File file(std::fopen(target.c_str(), "wb"));
        if (!file)
            return WriteError(target, LastError());
        return WriteAndClose(std::move(file), target, write);
    }
    fs::path targetPath(target);
    if (fs::is_symlink(targetPath, ec)) {
        // Replace the file the link leads to; a dangling link is replaced itself.
        const fs::path resolved = fs::canonical(targetPath, ec);
        if (!ec)
            targetPath = resolved;
    }
    const PlannedFile file{targetPath, target, write};
    return WriteFilesAtomically(std::span(&file, 1));
}

} // namespace zento::cli
