// Starting a program as a user's shell would, for the tests that run zento-cli: the arguments
// passed exactly as given, standard output and error into files, a time limit, and where the
// system has one, a limit on the size of the files it writes.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zento::testing {

struct ProgramRun {
    std::filesystem::path program;
    std::vector<std::string> args; // UTF-8, on every system
    std::filesystem::path directory;
    std::filesystem::path out, err; // created or emptied first; an existing device is opened
    std::optional<std::uint64_t> fileSizeLimit = {}; // bytes; see Unsupported(Needs::FileSizeLimit)
    std::chrono::seconds timeout{60};
};

// The program's exit status; -1 when it could not start, was ended by a signal or ran out of
// time (and was then ended).
int RunProgram(const ProgramRun& run);

// The null device: /dev/null, or NUL on Windows.
#ifdef _WIN32
inline constexpr const char* kNullDevice = "NUL";
#else
inline constexpr const char* kNullDevice = "/dev/null";
#endif

// What a test may need that not every system has.
enum class Needs {
    NamedPipes,         // mkfifo
    DeviceFiles,        // /dev/null, /dev/full
    FileSizeLimit,      // RLIMIT_FSIZE, so that a write fails half way
    SymbolicLinks,      // created by anyone, followed by every call
    ReplacingOpenFiles, // renaming over a file another process is reading
    PosixShell,         // sh, for programs run as a user types them
};

// Why this system lacks what a test needs, for the test to skip with; nullptr when it has it.
const char* Unsupported(Needs need);

// A named pipe made at path and held open both ways without blocking, so that a program writes
// into it without waiting and the test reads what came. Where Unsupported(Needs::NamedPipes),
// nothing is made and ok() is false.
class NamedPipe {
public:
    explicit NamedPipe(const std::filesystem::path& path);
    ~NamedPipe();
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;

    bool ok() const { return m_fd >= 0; }
    std::string Drain(); // what was written since the last call

private:
    int m_fd = -1;
};

// Runs command with sh as a user types it, for tests of programs outside this project; the
// exit status, -1 when sh or the command could not finish (Unsupported(Needs::PosixShell)).
int RunShell(const std::string& command);

} // namespace zento::testing
