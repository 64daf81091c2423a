// Child processes on POSIX systems: fork and exec with pipes, poll(2) over all of them, and a
// self-pipe that wakes the poll when a signal arrives.
#include "processes.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace zento::cli {

namespace {

// A signal handler can reach nothing but statics: the signal noted and the pipe that wakes Wait.
volatile std::sig_atomic_t gInterruptSignal = 0;
int gEndingSignal = 0; // the one a finished watch noted, for EndAsInterrupted
int gWakePipe[2] = {-1, -1};

void NoteInterrupt(int signal) {
    const int saved = errno;
    gInterruptSignal = signal;
    if (gWakePipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(gWakePipe[1], &byte, 1);
    }
    errno = saved;
}

bool MakePipe(int fds[2]) {
    if (::pipe(fds) != 0)
        return false;
    for (int i = 0; i < 2; ++i)
        ::fcntl(fds[i], F_SETFD, FD_CLOEXEC);
    return true;
}

void CloseFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

ProcessEnd EndFromStatus(int status) {
    if (WIFSIGNALED(status))
        return {ProcessEnd::How::Signalled, WTERMSIG(status)};
    return {ProcessEnd::How::Exited, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// A failure between fork and exec is written to the status pipe as an errno value, which the
// parent reads instead of an end of file.
[[noreturn]] void FailInChild(int status) {
    const int code = errno;
    [[maybe_unused]] const ssize_t ignored = ::write(status, &code, sizeof code);
    ::_exit(127);
}

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void BecomeChild(const char* file, char* const* argv, const char* directory, int out,
                              int err, int status) {
#ifdef __linux__
    // Should zento-cli die without a chance to stop it, JAGS goes too.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    for (int signal : {SIGINT, SIGTERM, SIGPIPE, SIGXFSZ})
        ::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const int input = ::open("/dev/null", O_RDONLY);
    if (input < 0 || ::dup2(input, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
        FailInChild(status);
    if (::chdir(directory) != 0)
        FailInChild(status);
    ::execv(file, argv);
    FailInChild(status);
}

} // namespace

struct ProcessSet::Impl {
    struct Child {
        pid_t pid = -1;
        int out = -1, err = -1;
        std::string output, errorOutput;
        bool ended = false;
    };
    std::vector<Child> children;

    // Reads what is there without blocking; false at the end of the stream.
    static bool Drain(int fd, std::string& into) {
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0) {
                into.append(buffer, static_cast<std::size_t>(got));
                continue;
            }
            if (got < 0 && errno == EINTR)
                continue;
            return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        }
    }
};

ProcessSet::ProcessSet() : m_impl(std::make_unique<Impl>()) {}

ProcessSet::~ProcessSet() {
    StopAll();
}

std::variant<std::size_t, StartFailure> ProcessSet::Start(const ProcessLaunch& launch) {
    const std::optional<std::string> file = FindProgram(launch.program);
    if (!file)
        return StartFailure{StartProblem::ProgramMissing, ENOENT};
    // Everything exec needs is built before fork.
    std::vector<std::string> words{launch.program};
    words.insert(words.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int out[2], err[2], status[2];
    if (!MakePipe(out))
        return StartFailure{StartProblem::SystemRefused, errno};
    if (!MakePipe(err)) {
        const int code = errno;
        CloseFd(out[0]), CloseFd(out[1]);
        return StartFailure{StartProblem::SystemRefused, code};
    }
    if (!MakePipe(status)) {
        const int code = errno;
        CloseFd(out[0]), CloseFd(out[1]), CloseFd(err[0]), CloseFd(err[1]);
        return StartFailure{StartProblem::SystemRefused, code};
    }
    const pid_t pid = ::fork();
    if (pid == 0)
        BecomeChild(file->c_str(), argv.data(), launch.directory.c_str(), out[1], err[1],
                    status[1]);
    const int forkError = errno;
    CloseFd(out[1]), CloseFd(err[1]), CloseFd(status[1]);
    int childError = 0;
    if (pid > 0) {
        ssize_t got;
        do
            got = ::read(status[0], &childError, sizeof childError);
        while (got < 0 && errno == EINTR);
        if (got != sizeof childError)
            childError = 0; // end of file: exec succeeded
    }
    CloseFd(status[0]);
    if (pid < 0 || childError != 0) {
        CloseFd(out[0]), CloseFd(err[0]);
        if (pid > 0) {
            int ignored;
            while (::waitpid(pid, &ignored, 0) < 0 && errno == EINTR) {
            }
        }
        const int code = pid < 0 ? forkError : childError;
        return StartFailure{code == ENOENT || code == ENOEXEC || code == EACCES
                                ? StartProblem::ProgramMissing
                                : StartProblem::SystemRefused,
                            code};
    }
    for (int fd : {out[0], err[0]})
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    Impl::Child child;
    child.pid = pid;
    child.out = out[0];
    child.err = err[0];
    m_impl->children.push_back(std::move(child));
    return m_impl->children.size() - 1;
}

WaitOutcome ProcessSet::Wait(const std::function<void(const ProcessEvent&)>& onEvent) {
    for (;;) {
        if (gInterruptSignal != 0)
            return WaitOutcome::Interrupted;
        std::vector<pollfd> fds;
        std::vector<std::size_t> owners;
        bool reaping = false; // a child closed its streams but has not been reaped yet
        for (std::size_t i = 0; i < m_impl->children.size(); ++i) {
            const Impl::Child& child = m_impl->children[i];
            if (child.ended)
                continue;
            for (int fd : {child.out, child.err}) {
                if (fd >= 0) {
                    fds.push_back({fd, POLLIN, 0});
                    owners.push_back(i);
                }
            }
            reaping = reaping || (child.out < 0 && child.err < 0);
        }
        if (fds.empty() && !reaping)
            return WaitOutcome::Events;
        if (gWakePipe[0] >= 0)
            fds.push_back({gWakePipe[0], POLLIN, 0});
        const int ready = ::poll(fds.data(), fds.size(), reaping ? 20 : -1);
        if (ready < 0 && errno != EINTR)
            return WaitOutcome::Events;
        bool any = false;
        for (std::size_t f = 0; ready > 0 && f < owners.size(); ++f) {
            if (fds[f].revents == 0)
                continue;
            const std::size_t i = owners[f];
            Impl::Child& child = m_impl->children[i];
            const bool isOut = fds[f].fd == child.out;
            std::string& text = isOut ? child.output : child.errorOutput;
            const std::size_t before = text.size();
            const bool open = Impl::Drain(fds[f].fd, text);
            if (!open)
                CloseFd(isOut ? child.out : child.err);
            if (isOut && text.size() > before) {
                onEvent({i, std::string_view(text).substr(before), std::nullopt});
                any = true;
            }
        }
        for (std::size_t i = 0; i < m_impl->children.size(); ++i) {
            Impl::Child& child = m_impl->children[i];
            if (child.ended || child.out >= 0 || child.err >= 0)
                continue;
            int status = 0;
            const pid_t reaped = ::waitpid(child.pid, &status, WNOHANG);
            if (reaped == child.pid || (reaped < 0 && errno == ECHILD)) {
                child.ended = true;
                onEvent({i, {}, reaped == child.pid ? EndFromStatus(status) : ProcessEnd{}});
                any = true;
            }
        }
        if (any)
            return WaitOutcome::Events;
    }
}

std::size_t ProcessSet::running() const {
    std::size_t count = 0;
    for (const Impl::Child& child : m_impl->children)
        count += child.ended ? 0 : 1;
    return count;
}

const std::string& ProcessSet::output(std::size_t process) const {
    return m_impl->children.at(process).output;
}

const std::string& ProcessSet::errorOutput(std::size_t process) const {
    return m_impl->children.at(process).errorOutput;
}

void ProcessSet::StopAll() {
    for (Impl::Child& child : m_impl->children) {
        if (child.ended)
            continue;
        ::kill(child.pid, SIGKILL);
        int status;
        while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
        }
        CloseFd(child.out);
        CloseFd(child.err);
        child.ended = true;
    }
}

std::optional<std::string> FindProgram(const std::string& program) {
    if (program.empty())
        return std::nullopt;
    if (program.find('/') != std::string::npos)
        return IsExecutableFile(program) ? std::optional(program) : std::nullopt;
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/bin:/bin";
    for (;;) {
        const std::size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        const std::string candidate = (dir.empty() ? std::string(".") : std::string(dir)) + "/" +
                                      program; // an empty entry is the current directory
        if (IsExecutableFile(candidate))
            return candidate;
        if (colon == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(colon + 1);
    }
}

namespace {
struct sigaction gPreviousInt, gPreviousTerm;
}

InterruptWatch::InterruptWatch() {
    gInterruptSignal = 0;
    if (MakePipe(gWakePipe)) {
        for (int fd : gWakePipe)
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a blocked poll returns with EINTR
    // A signal the program was started to ignore (a background job's SIGINT) stays ignored.
    for (auto [signal, previous] : {std::pair{SIGINT, &gPreviousInt}, {SIGTERM, &gPreviousTerm}}) {
        ::sigaction(signal, nullptr, previous);
        if (previous->sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

InterruptWatch::~InterruptWatch() {
    ::sigaction(SIGINT, &gPreviousInt, nullptr);
    ::sigaction(SIGTERM, &gPreviousTerm, nullptr);
    gEndingSignal = gInterruptSignal;
    gInterruptSignal = 0;
    CloseFd(gWakePipe[0]);
    CloseFd(gWakePipe[1]);
}

bool InterruptWatch::interrupted() const {
    return gInterruptSignal != 0;
}

void EndAsInterrupted() {
    const int noted = gInterruptSignal != 0 ? static_cast<int>(gInterruptSignal) : gEndingSignal;
    const int signal = noted != 0 ? noted : SIGINT;
    std::fflush(nullptr);
    ::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    std::_Exit(128 + signal);
}

} // namespace zento::cli
