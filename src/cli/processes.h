// Child processes with their output captured, several at once, watched from one thread and
// stopped together; and Ctrl+C turned into an orderly stop. zento-cli runs JAGS through this.
// One platform file implements it: processes_posix.cpp or processes_windows.cpp.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zento::cli {

struct ProcessLaunch {
    std::string program;                // a path, or a name looked up on PATH
    std::vector<std::string> arguments; // after the program's own name
    std::string directory;              // where it runs
};

enum class StartProblem {
    ProgramMissing, // no such program, or not one the system can run
    SystemRefused,  // the program is there but the system would not start it (systemError)
};

struct StartFailure {
    StartProblem problem = StartProblem::SystemRefused;
    int systemError = 0; // errno (POSIX) or GetLastError (Windows)
};

// How a process ended.
struct ProcessEnd {
    enum class How { Exited, Signalled } how = How::Exited;
    int code = 0; // the exit status, or the signal that ended it
    bool succeeded() const { return how == How::Exited && code == 0; }
};

// What Wait saw in one process: bytes it wrote on standard output, or its end (reported once
// both of its streams are drained).
struct ProcessEvent {
    std::size_t process = 0;
    std::string_view output;       // new bytes on standard output; empty for an end
    std::optional<ProcessEnd> end; // set once, when it ended
};

enum class WaitOutcome { Events, Interrupted };

class ProcessSet {
public:
    ProcessSet();
    ~ProcessSet(); // stops whatever still runs: no child outlives the set
    ProcessSet(const ProcessSet&) = delete;
    ProcessSet& operator=(const ProcessSet&) = delete;

    // The new process's index (0, 1, ... in start order), or why it could not start. Its
    // standard input is empty; both output streams are captured.
    std::variant<std::size_t, StartFailure> Start(const ProcessLaunch& launch);

    // Blocks until at least one running process wrote something or ended, and passes each such
    // event to onEvent; returns at once when none runs. Interrupted when an InterruptWatch saw
    // Ctrl+C or a termination request meanwhile: the caller then stops the set.
    WaitOutcome Wait(const std::function<void(const ProcessEvent&)>& onEvent);

    std::size_t running() const;
    // Everything the process wrote so far on each stream.
    const std::string& output(std::size_t process) const;
    const std::string& errorOutput(std::size_t process) const;

    // Ends every running process at once (no clean-up is expected of them) and waits for them.
    void StopAll();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Where program would be run from: a path given with a directory is taken as it stands (when it
// names an executable file), a bare name is looked up on PATH. Nothing when it is not there.
std::optional<std::string> FindProgram(const std::string& program);

// While one lives, an interrupt (SIGINT or SIGTERM; Ctrl+C, Ctrl+Break or closing the console on
// Windows) is noted instead of ending the program at once, so that running children are stopped
// and temporary folders removed on the way out. Not nested.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    bool interrupted() const;
};

// Ends the program as the last noted interrupt would have ended it, so that a shell sees the
// conventional status (130 for Ctrl+C, 143 for SIGTERM). For main, once everything is cleaned up.
[[noreturn]] void EndAsInterrupted();

} // namespace zento::cli
