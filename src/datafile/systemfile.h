// The file system as ZENTO uses it, alike on every system: paths are UTF-8 strings, files are
// opened by those paths (on Windows through the wide-character API, never the ANSI code page), a
// finished file takes another's place in one step, and only a plain file on a disk is data.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace zento {

// The path a UTF-8 string names, and the UTF-8 string of a path, with / between its parts on
// every system (Windows takes it as well as \): a file the program names itself in a message
// reads the same everywhere.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The errno value of a std::filesystem error, whatever the system reported it in (EIO when it
// has none).
int ErrnoOf(const std::error_code& ec);
// The errno value of the call that just failed (EIO when it set none).
int LastErrno();

enum class OpenMode {
    Read,      // binary
    Write,     // binary, created or emptied (a device or a pipe is written in place)
    CreateNew, // binary, failing with EEXIST when the file exists
};

// The C stream for path; nullptr with errno set when it cannot be opened.
std::FILE* OpenFile(const std::filesystem::path& path, OpenMode mode);

// True when the open file is a plain file on a disk; false for a device (NUL, CON, /dev/null),
// a pipe or a socket.
bool IsPlainFile(std::FILE* file);

// True when the open file is a terminal (a console on Windows).
bool IsTerminal(std::FILE* file);
// True when path names an existing device, pipe or socket, which can only be written in place:
// a file renamed over it would destroy the node (POSIX) or cannot be (Windows).
bool IsDeviceOrPipe(const std::filesystem::path& path);

// Puts from in the place of to in one step: to is then wholly the new file, or on failure as it
// was. 0, or the errno value that says why not (EBUSY for a file another program holds open).
int RenameOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Hints for a large file being written; where the system has no such call they do nothing.
// StartWriteBack hands bytes [offset, offset + length) to the disk now rather than at the end.
void StartWriteBack(std::FILE* file, std::uint64_t offset, std::uint64_t length);
// Sets aside room for size bytes of a new file at once; false when it did not.
bool ReserveSpace(std::FILE* file, std::uint64_t size);
// Cuts the file to size bytes (what a reservation left unused); false with errno on failure.
bool Truncate(std::FILE* file, std::uint64_t size);

// A write past the process's file size limit fails with EFBIG (and is reported) instead of
// ending the program half way through; called once at start.
void MakeOversizedWritesFail();

} // namespace zento
