// Running a program for the tests: fork and exec on POSIX, CreateProcessW on Windows; and the
// one list of what a test cannot do on Windows.
#include "process.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zento::testing {

namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

// Quoted so that the C runtime's parser (and CommandLineToArgvW) gives back arg exactly:
// backslashes count only before a quote.
void AppendArgument(std::wstring& line, const std::wstring& arg) {
    if (!line.empty())
        line += L' ';
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    for (auto it = arg.begin();; ++it) {
        std::size_t backslashes = 0;
        for (; it != arg.end() && *it == L'\\'; ++it)
            ++backslashes;
        if (it == arg.end()) {
            line.append(backslashes * 2, L'\\');
            break;
        }
        line.append(*it == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        line += *it;
    }
    line += L'"';
}

HANDLE OpenForChild(const fs::path& path) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    return CreateFileW(fs::absolute(path).c_str(), GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

int RunProgram(const ProgramRun& run) {
    if (run.fileSizeLimit)
        return -1;
    std::wstring line;
    AppendArgument(line, fs::absolute(run.program).wstring());
    for (const std::string& arg : run.args)
        AppendArgument(line, Wide(arg));
    const HANDLE out = OpenForChild(run.out), err = OpenForChild(run.err);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const std::wstring directory = fs::absolute(run.directory).wstring();
    const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                         CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        directory.c_str(), &startup, &process);
    for (const HANDLE handle : {out, err})
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    if (!started)
        return -1;
    CloseHandle(process.hThread);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(run.timeout).count();
    DWORD status = 0;
    const bool finished =
        WaitForSingleObject(process.hProcess, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
    if (!finished) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    const bool known = finished && GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    return known ? static_cast<int>(status) : -1;
}

const char* Unsupported(Needs need) {
    switch (need) {
    case Needs::NamedPipes:
        return "Windows no tiene tuberías con nombre en el sistema de archivos (mkfifo)";
    case Needs::DeviceFiles:
        return "Windows no tiene /dev/null ni /dev/full";
    case Needs::FileSizeLimit:
        return "Windows no limita el tamaño de los archivos de un proceso (ulimit -f)";
    case Needs::SymbolicLinks:
        return "en Windows crear enlaces simbólicos exige privilegios de administrador";
    case Needs::ReplacingOpenFiles:
        return "Windows no deja sustituir un archivo que otro proceso tiene abierto";
    case Needs::PosixShell:
        return "Windows no tiene sh";
    }
    return "no está disponible en Windows";
}

NamedPipe::NamedPipe(const fs::path&) {}

NamedPipe::~NamedPipe() = default;

std::string NamedPipe::Drain() {
    return {};
}

int RunShell(const std::string&) {
    return -1;
}

#else

int RunProgram(const ProgramRun& run) {
    std::vector<std::string> strings = {run.program.string()};
    strings.insert(strings.end(), run.args.begin(), run.args.end());
    std::vector<char*> argv;
    for (std::string& arg : strings)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string directory = run.directory.string(), out = run.out.string(),
                      err = run.err.string();
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        // Only calls that are safe after fork in a process with threads.
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (outFd < 0 || errFd < 0 || dup2(outFd, STDOUT_FILENO) < 0 ||
            dup2(errFd, STDERR_FILENO) < 0 || chdir(directory.c_str()) != 0)
            _exit(127);
        if (run.fileSizeLimit) {
            const rlimit limit{*run.fileSizeLimit, *run.fileSizeLimit};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                _exit(127);
        }
        // Kept across exec: a program still running then is ended by SIGALRM.
        alarm(static_cast<unsigned>(run.timeout.count()));
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
    }
    return done == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char* Unsupported(Needs) {
    return nullptr;
}

NamedPipe::NamedPipe(const fs::path& path) {
    if (mkfifo(path.c_str(), 0600) == 0)
        m_fd = open(path.c_str(), O_RDWR | O_NONBLOCK);
}

NamedPipe::~NamedPipe() {
    if (m_fd >= 0)
        close(m_fd);
}

std::string NamedPipe::Drain() {
    std::string received(1 << 16, '\0');
    const ssize_t size = m_fd >= 0 ? read(m_fd, received.data(), received.size()) : 0;
    received.resize(static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
    return received;
}

int RunShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

} // namespace zento::testing
