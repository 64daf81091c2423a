// Reading a file whole through the data file byte source; writing through a renamed temporary.
#include "textfiles.h"

#include "datafile/bytesource.h"
#include "datafile/systemfile.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace zento::fit {

FitResult<std::string> ReadTextFile(const std::filesystem::path& path) {
    auto source = FileByteSource::Open(Utf8FromPath(path));
    if (!source) {
        FitError error = MakeFitError(FitErrorKind::MissingFile, Utf8FromPath(path));
        error.systemError = source.error().systemError;
        return error;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>((*source)->size()) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const std::size_t got = (*source)->Read(std::span<char>(bytes).subspan(used));
        if (got == 0)
            break;
        used += got;
    }
    if ((*source)->error()) {
        FitError error = MakeFitError(FitErrorKind::Unreadable, Utf8FromPath(path));
        error.systemError = (*source)->error();
        return error;
    }
    bytes.resize(used);
    return bytes;
}

FitStatus ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temporary = path;
    temporary += ".zento-tmp";
    auto fail = [&](int systemError) -> FitStatus {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        FitError error = MakeFitError(FitErrorKind::WriteFailed, Utf8FromPath(path));
        error.systemError = systemError ? systemError : EIO;
        return error;
    };
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(temporary, OpenMode::Write),
                                                         &std::fclose);
    if (!file)
        return fail(errno);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0)
        return fail(errno);
    if (std::fclose(file.release()) != 0)
        return fail(errno);
    if (const int systemError = RenameOver(temporary, path))
        return fail(systemError);
    return FitDone{};
}

} // namespace zento::fit
