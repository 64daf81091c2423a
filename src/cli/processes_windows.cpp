// Child processes on Windows: CreateProcessW with pipes, polled with PeekNamedPipe (anonymous
// pipes cannot be waited on), all children in one job object so that none outlives zento-cli.
#include "processes.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace zento::cli {

namespace {

// The console's control handler runs on a thread of its own: it can reach only these.
std::atomic<bool> gInterrupted{false};
HANDLE gWakeEvent = nullptr;

BOOL WINAPI NoteInterrupt(DWORD type) {
    switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        gInterrupted = true;
        if (gWakeEvent)
            SetEvent(gWakeEvent);
        // Closing the console ends the process when the handler returns: give the main thread
        // the moment it needs to stop JAGS and remove the temporary folders.
        if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
            Sleep(2000);
        return TRUE;
    default:
        return FALSE;
    }
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

// One argument quoted so that the child's command-line parser gives it back unchanged:
// backslashes double only before a quote or the closing quote.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
    if (!line.empty())
        line += L' ';
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    for (auto it = argument.begin();; ++it) {
        std::size_t backslashes = 0;
        while (it != argument.end() && *it == L'\\') {
            ++it;
            ++backslashes;
        }
        if (it == argument.end()) {
            line.append(backslashes * 2, L'\\');
            break;
        }
        if (*it == L'"') {
            line.append(backslashes * 2 + 1, L'\\');
        } else {
            line.append(backslashes, L'\\');
        }
        line += *it;
    }
    line += L'"';
}

bool IsRunnableFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ProcessEnd EndFromCode(DWORD code) {
    return {ProcessEnd::How::Exited, static_cast<int>(code)};
}

} // namespace

struct ProcessSet::Impl {
    struct Child {
        HANDLE process = nullptr;
        HANDLE out = nullptr, err = nullptr;
        std::string output, errorOutput;
        bool ended = false;
    };
    std::vector<Child> children;
    HANDLE job = nullptr;

    // Reads what is there without blocking; false at the end of the stream.
    static bool Drain(HANDLE pipe, std::string& into) {
        for (;;) {
            DWORD available = 0;
            if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
                return false; // broken pipe: the writer is gone
            if (available == 0)
                return true;
            char buffer[4096];
            DWORD got = 0;
            const DWORD want = available < sizeof buffer ? available : sizeof buffer;
            if (!ReadFile(pipe, buffer, want, &got, nullptr))
                return false;
            into.append(buffer, got);
        }
    }

    static void Close(HANDLE& handle) {
        if (handle)
            CloseHandle(handle);
        handle = nullptr;
    }
};

ProcessSet::ProcessSet() : m_impl(std::make_unique<Impl>()) {
    m_impl->job = CreateJobObjectW(nullptr, nullptr);
    if (m_impl->job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(m_impl->job, JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);
    }
}

ProcessSet::~ProcessSet() {
    StopAll();
    Impl::Close(m_impl->job);
}

std::variant<std::size_t, StartFailure> ProcessSet::Start(const ProcessLaunch& launch) {
    const std::optional<std::string> file = FindProgram(launch.program);
    if (!file)
        return StartFailure{StartProblem::ProgramMissing, ERROR_FILE_NOT_FOUND};
    std::wstring commandLine;
    AppendQuoted(commandLine, Wide(launch.program));
    for (const std::string& argument : launch.arguments)
        AppendQuoted(commandLine, Wide(argument));

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    const auto refuse = [&](DWORD code) -> std::variant<std::size_t, StartFailure> {
        for (HANDLE* handle : {&outRead, &outWrite, &errRead, &errWrite})
            Impl::Close(*handle);
        return StartFailure{StartProblem::SystemRefused, static_cast<int>(code)};
    };
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) ||
        !CreatePipe(&errRead, &errWrite, &inherit, 0))
        return refuse(GetLastError());
    // Only the write ends go to the child.
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION info{};
    const std::wstring application = Wide(*file);
    const std::wstring directory = Wide(launch.directory);
    const BOOL created =
        CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, nullptr,
                       directory.empty() ? nullptr : directory.c_str(), &startup, &info);
    const DWORD createError = GetLastError();
    if (input != INVALID_HANDLE_VALUE)
        CloseHandle(input);
    Impl::Close(outWrite);
    Impl::Close(errWrite);
    if (!created) {
        if (createError == ERROR_FILE_NOT_FOUND || createError == ERROR_PATH_NOT_FOUND ||
            createError == ERROR_BAD_EXE_FORMAT) {
            refuse(createError);
            return StartFailure{StartProblem::ProgramMissing, static_cast<int>(createError)};
        }
        return refuse(createError);
    }
    if (m_impl->job)
        AssignProcessToJobObject(m_impl->job, info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    Impl::Child child;
    child.process = info.hProcess;
    child.out = outRead;
    child.err = errRead;
    m_impl->children.push_back(std::move(child));
    return m_impl->children.size() - 1;
}

WaitOutcome ProcessSet::Wait(const std::function<void(const ProcessEvent&)>& onEvent) {
    for (;;) {
        if (gInterrupted)
            return WaitOutcome::Interrupted;
        bool any = false, live = false;
        for (std::size_t i = 0; i < m_impl->children.size(); ++i) {
            Impl::Child& child = m_impl->children[i];
            if (child.ended)
                continue;
            live = true;
            if (child.out) {
                const std::size_t before = child.output.size();
                if (!Impl::Drain(child.out, child.output))
                    Impl::Close(child.out);
                if (child.output.size() > before) {
                    onEvent({i, std::string_view(child.output).substr(before), std::nullopt});
                    any = true;
                }
            }
            if (child.err && !Impl::Drain(child.err, child.errorOutput))
                Impl::Close(child.err);
            if (!child.out && !child.err &&
                WaitForSingleObject(child.process, 0) == WAIT_OBJECT_0) {
                DWORD code = 0;
                GetExitCodeProcess(child.process, &code);
                Impl::Close(child.process);
                child.ended = true;
                onEvent({i, {}, EndFromCode(code)});
                any = true;
            }
        }
        if (any || !live)
            return WaitOutcome::Events;
        if (gWakeEvent)
            WaitForSingleObject(gWakeEvent, 25);
        else
            Sleep(25);
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
        TerminateProcess(child.process, 1);
        WaitForSingleObject(child.process, INFINITE);
        Impl::Close(child.process);
        Impl::Close(child.out);
        Impl::Close(child.err);
        child.ended = true;
    }
}

std::optional<std::string> FindProgram(const std::string& program) {
    if (program.empty())
        return std::nullopt;
    const std::wstring wide = Wide(program);
    if (program.find_first_of("/\\:") != std::string::npos) {
        if (IsRunnableFile(wide))
            return program;
        if (IsRunnableFile(wide + L".exe"))
            return program + ".exe";
        return std::nullopt;
    }
    wchar_t found[MAX_PATH];
    const DWORD size = SearchPathW(nullptr, wide.c_str(), L".exe", MAX_PATH, found, nullptr);
    if (size == 0 || size >= MAX_PATH)
        return std::nullopt;
    return Narrow(std::wstring(found, size));
}

InterruptWatch::InterruptWatch() {
    gInterrupted = false;
    gWakeEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(NoteInterrupt, TRUE);
}

InterruptWatch::~InterruptWatch() {
    SetConsoleCtrlHandler(NoteInterrupt, FALSE);
    gInterrupted = false;
    if (gWakeEvent)
        CloseHandle(gWakeEvent);
    gWakeEvent = nullptr;
}

bool InterruptWatch::interrupted() const {
    return gInterrupted;
}

void EndAsInterrupted() {
    std::fflush(nullptr);
    // What a console program ended by Ctrl+C reports.
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

} // namespace zento::cli
