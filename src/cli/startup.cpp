// zento-cli's start on POSIX and on Windows.
#include "startup.h"

#include "datafile/systemfile.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace zento::cli {

#ifdef _WIN32

namespace {

std::string Utf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.pop_back(); // the terminating NUL
    return text;
}

bool IsConsole(DWORD stream) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(stream), &mode) != 0;
}

} // namespace

std::vector<std::string> Utf8Arguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
        args.push_back(Utf8(wide[i]));
    LocalFree(wide);
    return args;
}

StandardStreams::StandardStreams() {
    MakeOversizedWritesFail();
    // The texts carry their own CR LF and the messages end in LF: text mode would add a CR.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // A console shows the UTF-8 bytes rightly only in its UTF-8 code page; a file or a pipe
    // gets the bytes unchanged either way.
    if (IsConsole(STD_OUTPUT_HANDLE) || IsConsole(STD_ERROR_HANDLE)) {
        m_consoleCodePage = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
    }
}

StandardStreams::~StandardStreams() {
    if (m_consoleCodePage != 0) {
        std::fflush(stdout);
        std::fflush(stderr);
        SetConsoleOutputCP(m_consoleCodePage);
    }
}

#else

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

StandardStreams::StandardStreams() {
    MakeOversizedWritesFail();
}

StandardStreams::~StandardStreams() = default;

#endif

} // namespace zento::cli
