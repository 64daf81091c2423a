// The file system calls that differ between POSIX and Windows, and nowhere else.
#include "systemfile.h"

#include <cerrno>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zento {

namespace fs = std::filesystem;

fs::path PathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const fs::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

int LastErrno() {
    return errno ? errno : EIO;
}

int ErrnoOf(const std::error_code& ec) {
    const std::error_condition condition = ec.default_error_condition();
    return condition.category() == std::generic_category() && condition.value() != 0
               ? condition.value()
               : EIO;
}

#ifdef _WIN32

namespace {

// The errno value whose words say what a Windows error means for a file.
int ErrnoFromWindows(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

// Windows answers "access denied" both for a file another program holds open and for one the
// user may not change; only the first is cured by closing that program, so they are told apart.
bool HeldOpenElsewhere(const fs::path& path) {
    const HANDLE handle =
        CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

HANDLE HandleOf(std::FILE* file) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

} // namespace

std::FILE* OpenFile(const fs::path& path, OpenMode mode) {
    if (mode != OpenMode::CreateNew)
        return _wfopen(path.c_str(), mode == OpenMode::Read ? L"rb" : L"wb");
    // Not every C runtime of Windows knows fopen's "x"; _O_EXCL says the same.
    const int fd =
        _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file)
        _close(fd);
    return file;
}

bool IsPlainFile(std::FILE* file) {
    return GetFileType(HandleOf(file)) == FILE_TYPE_DISK;
}

bool IsDeviceOrPipe(const fs::path& path) {
    // NUL, CON or COM1 have no status to ask for; opened for nothing, they tell their type.
    const HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const DWORD type = GetFileType(handle);
    CloseHandle(handle);
    return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

int RenameOver(const fs::path& from, const fs::path& to) {
    // WRITE_THROUGH: the call returns once the move is on the disk.
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED && HeldOpenElsewhere(to) ? EBUSY : ErrnoFromWindows(error);
}

void StartWriteBack(std::FILE*, std::uint64_t, std::uint64_t) {}

bool ReserveSpace(std::FILE*, std::uint64_t) {
    return false;
}

bool Truncate(std::FILE* file, std::uint64_t size) {
    errno = _chsize_s(_fileno(file), static_cast<long long>(size));
    return errno == 0;
}

void MakeOversizedWritesFail() {}

bool IsTerminal(std::FILE* file) {
    return _isatty(_fileno(file)) != 0;
}

#else

std::FILE* OpenFile(const fs::path& path, OpenMode mode) {
    return std::fopen(path.c_str(), mode == OpenMode::Read    ? "rb"
                                    : mode == OpenMode::Write ? "wb"
                                                              : "wbx");
}

bool IsPlainFile(std::FILE* file) {
    struct stat info {};
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDeviceOrPipe(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return !ec && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status);
}

int RenameOver(const fs::path& from, const fs::path& to) {
    errno = 0;
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return 0;
    return LastErrno();
}

void StartWriteBack(std::FILE* file, std::uint64_t offset, std::uint64_t length) {
#if defined(__linux__)
    sync_file_range(fileno(file), static_cast<off_t>(offset), static_cast<off_t>(length),
                    SYNC_FILE_RANGE_WRITE);
#else
    (void)file, (void)offset, (void)length;
#endif
}

bool ReserveSpace(std::FILE* file, std::uint64_t size) {
#if defined(__linux__)
    return fallocate(fileno(file), 0, 0, static_cast<off_t>(size)) == 0;
#else
    (void)file, (void)size;
    return false;
#endif
}

bool Truncate(std::FILE* file, std::uint64_t size) {
    errno = 0;
    return ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
}

bool IsTerminal(std::FILE* file) {
    return ::isatty(::fileno(file)) != 0;
}

void MakeOversizedWritesFail() {
    std::signal(SIGXFSZ, SIG_IGN);
}

#endif

} // namespace zento
