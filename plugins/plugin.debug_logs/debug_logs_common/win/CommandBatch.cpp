// Runs system commands on Windows side by side: each through the command interpreter of the
// system folder, with a search path of the system folders only, a time limit and an output limit,
// and nothing left behind. The thread blocks in one WaitForMultipleObjects over every pending
// overlapped read of an output pipe and every process.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "drivekit/core/StopRequest.h"
#include "plugins/plugin.debug_logs/debug_logs_common/CommandBatch.h"
#include "plugins/plugin.debug_logs/debug_logs_common/CommandProblems.h"
#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"
#include "plugins/plugin.debug_logs/debug_logs_common/win/Handle.h"
#include "plugins/plugin.debug_logs/debug_logs_common/win/SystemPrograms.h"

namespace plugin::cli::debug_logs {

namespace {
using Clock = std::chrono::steady_clock;
using platform::Handle;

// The stop request is raised on the console's own thread, which cannot wake the wait: the wait
// looks at it at least this often (in milliseconds).
constexpr long long stopLookInterval = 100;

// What a started command owns: its process, the job that holds it and whatever it starts, and
// the read end of its output.
struct Child {
    Handle job;
    Handle process;
    Handle output;
};

// The list of this process's handles a child inherits; deleted when it goes.
struct InheritedHandles {
    std::vector<char> storage;
    LPPROC_THREAD_ATTRIBUTE_LIST list = nullptr;
    ~InheritedHandles() {
        if (list != nullptr) {
            DeleteProcThreadAttributeList(list);
        }
    }
};

// The upper-cased name of an environment entry "NAME=value"; the per-drive folders' entries
// ("=C:=C:\\x") begin with "=", which is part of their name.
std::wstring upperName(const std::wstring& entry) {
    std::wstring name = entry.substr(0, entry.find(L'=', 1));
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towupper(c); });
    return name;
}

// This process's environment with PATH replaced by the system folders: a program planted in the
// caller's search path must not run in place of the real one. The other variables (SystemRoot,
// TEMP and the like) are what the commands and the disk script need.
std::wstring environmentBlock(const std::wstring& system) {
    std::vector<std::wstring> entries;
    wchar_t* const block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; entry != nullptr && *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        if (upperName(entry) != L"PATH") {
            entries.emplace_back(entry);
        }
    }
    FreeEnvironmentStringsW(block);
    entries.push_back(L"PATH=" + system + L";" + system + L"\\Wbem");
    // The system expects the entries in the order of their names, case aside.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::wstring& a, const std::wstring& b) { return upperName(a) < upperName(b); });
    std::wstring text;
    for (const std::wstring& entry : entries) {
        text += entry;
        text += L'\0';
    }
    return text + L'\0';
}

// A job that kills every process in it when its last handle closes, whatever path is taken.
DWORD createJob(Handle& job) {
    job.reset(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
        return GetLastError();
    }
    return 0;
}

// Only the child's standard handles are passed on, not every inheritable handle of the host.
DWORD inheritOnly(HANDLE* handles, std::size_t count, InheritedHandles& inherited) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    inherited.storage.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(inherited.storage.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) {
        return GetLastError();
    }
    inherited.list = list;
    if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles, count * sizeof(HANDLE),
                                   nullptr, nullptr)) {
        return GetLastError();
    }
    return 0;
}

// A pipe read with overlapped I/O, which an anonymous pipe does not allow: a named one of this
// process, with one instance, whose write end the child inherits.
DWORD createPipe(SECURITY_ATTRIBUTES& inheritable, Handle& readEnd, Handle& writeEnd) {
    static LONG serial = 0;
    const std::wstring name = L"\\\\.\\pipe\\ssdtool-output-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(InterlockedIncrement(&serial));
    const DWORD access = PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE;
    const DWORD mode = PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;
    readEnd.reset(CreateNamedPipeW(name.c_str(), access, mode, 1, 0, 65536, 0, nullptr));
    if (!readEnd) {
        return GetLastError();
    }
    writeEnd.reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING, 0, nullptr));
    return writeEnd ? 0 : GetLastError();
}

// Starts "cmd.exe /d /c line" from the system folder (without AutoRun commands), reading nothing
// and writing both outputs into one pipe. It starts suspended and runs only once inside the job,
// so nothing it starts escapes the job. Returns 0 or the error number.
DWORD startChild(const std::wstring& system, const std::string& line, Handle& job, Handle& process, Handle& output) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    // Closed here when the function returns, so that the pipe breaks once the child is gone.
    Handle write;
    if (const DWORD error = createPipe(inheritable, output, write); error != 0) {
        return error;
    }
    const Handle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                   OPEN_EXISTING, 0, nullptr));
    if (!input) {
        return GetLastError();
    }
    HANDLE handles[] = {input.get(), write.get()};
    InheritedHandles inherited;
    if (const DWORD error = inheritOnly(handles, 2, inherited); error != 0) {
        return error;
    }
    if (const DWORD error = createJob(job); error != 0) {
        return error;
    }
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input.get();
    startup.StartupInfo.hStdOutput = write.get();
    startup.StartupInfo.hStdError = write.get();
    startup.lpAttributeList = inherited.list;
    const std::wstring program = system + L"\\cmd.exe";
    std::wstring commandLine = L"\"" + program + L"\" /d /c " + platform::widened(line);
    std::wstring environment = environmentBlock(system);
    const DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags, environment.data(),
                        nullptr, &startup.StartupInfo, &started)) {
        return GetLastError();
    }
    process.reset(started.hProcess);
    const Handle thread(started.hThread);
    if (!AssignProcessToJobObject(job.get(), process.get())) {
        const DWORD error = GetLastError();
        TerminateProcess(process.get(), 1);
        return error;
    }
    ResumeThread(thread.get());
    return 0;
}

bool signaled(const Handle& handle) { return WaitForSingleObject(handle.get(), 0) == WAIT_OBJECT_0; }

// The sentence for a command that ended by itself; empty for exit status 0.
std::string endText(const Handle& process) {
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);  // it has ended: the call cannot find it still running
    return exitStatusText(exitCode);
}
}  // namespace

struct CommandBatch::Child {
    std::size_t number = 0;
    Handle job;
    Handle process;
    Handle output;
    Handle readDone{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // set when the pending read completes
    OVERLAPPED overlapped{};
    char buffer[65536];
    bool reading = false;  // a read is pending: buffer and overlapped belong to the system
    bool outputEnded = false;
    bool exited = false;
    Clock::time_point deadline;  // the time limit, then the grace after the kill
    CommandRun run;
    OutputStop stop = OutputStop::end;  // why it was killed, if it was

    ~Child() { cancelRead(); }

    void issueRead() {
        overlapped = OVERLAPPED{};
        overlapped.hEvent = readDone.get();
        // Completed at once or later, the event tells; takeRead collects either way.
        reading = ReadFile(output.get(), buffer, sizeof(buffer), nullptr, &overlapped) ||
                  GetLastError() == ERROR_IO_PENDING;
        outputEnded = !reading;
    }

    // Collects the completed read and issues the next; false when the output limit was passed.
    bool takeRead(std::size_t limit) {
        reading = false;
        DWORD received = 0;
        if (!GetOverlappedResult(output.get(), &overlapped, &received, FALSE)) {
            outputEnded = true;  // every writer has closed its end
            return true;
        }
        const std::size_t room = limit - run.output.size();
        run.output.append(buffer, std::min<std::size_t>(room, received));
        if (received > room) {
            return false;
        }
        issueRead();
        return true;
    }

    // Ends the pending read and waits until the system lets go of the buffer; what it had read
    // is kept.
    void cancelRead() {
        if (!reading) {
            return;
        }
        CancelIoEx(output.get(), &overlapped);
        DWORD received = 0;
        if (GetOverlappedResult(output.get(), &overlapped, &received, TRUE)) {
            run.output.append(buffer, received);
        }
        reading = false;
    }

    // Once the command has ended, the pipe holds all it wrote: when that is read, the output is
    // over, even if something it started still holds the pipe (the job's end takes that along).
    void endOutputIfDrained() {
        DWORD available = 0;
        if (exited && reading && !signaled(readDone) &&
            (!PeekNamedPipe(output.get(), nullptr, 0, nullptr, &available, nullptr) || available == 0)) {
            cancelRead();
            outputEnded = true;
        }
    }

    bool done(Clock::time_point now) const {
        return stop == OutputStop::end ? exited && outputEnded : exited || now >= deadline;
    }
};

CommandBatch::CommandBatch(const CommandLimits& limits) : limits_(limits) {}

CommandBatch::~CommandBatch() { stopAll(); }

void CommandBatch::start(std::size_t number, const std::vector<std::string>& arguments) {
    CommandRun run;
    std::string reason;
    const std::wstring system = platform::systemFolder(reason);
    if (system.empty()) {
        run.problem = notStartedText(reason);
        finished_.emplace_back(number, run);
        return;
    }
    auto child = std::make_unique<Child>();
    const DWORD error = !child->readDone ? GetLastError()
                                         : startChild(system, commandLineOf(arguments), child->job, child->process,
                                                      child->output);
    if (error != 0) {
        run.problem = notStartedText(platform::errorText(error));
        finished_.emplace_back(number, run);
        return;
    }
    child->number = number;
    child->deadline = Clock::now() + limits_.time;
    child->issueRead();
    children_.push_back(std::move(child));
}

void CommandBatch::stop(Child& child, OutputStop why) {
    if (child.stop != OutputStop::end) {
        return;
    }
    child.stop = why;
    TerminateJobObject(child.job.get(), 1);
    child.cancelRead();
    child.outputEnded = true;
    child.deadline = Clock::now() + killGrace;
}

void CommandBatch::waitForEvents() {
    if (drivekit::core::StopRequest::requested()) {
        for (auto& child : children_) {
            stop(*child, OutputStop::request);
        }
    }
    std::vector<HANDLE> handles;
    Clock::time_point next = Clock::time_point::max();
    for (const auto& child : children_) {
        if (child->reading) {
            handles.push_back(child->readDone.get());
        }
        if (!child->exited) {
            handles.push_back(child->process.get());
        }
        next = std::min(next, child->deadline);
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
    const DWORD timeout = static_cast<DWORD>(std::clamp<long long>(left, 0, stopLookInterval));
    if (handles.empty() || WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE,
                                                  timeout) == WAIT_TIMEOUT) {
        return;
    }
    for (auto& child : children_) {
        if (child->reading && signaled(child->readDone) && !child->takeRead(limits_.outputBytes)) {
            stop(*child, OutputStop::size);
        }
        if (!child->exited && signaled(child->process)) {
            child->exited = true;
        }
        child->endOutputIfDrained();
    }
}

void CommandBatch::collectDone() {
    const Clock::time_point now = Clock::now();
    for (auto& child : children_) {
        if (child->stop == OutputStop::end && now >= child->deadline) {
            stop(*child, OutputStop::time);
        }
    }
    const auto firstDone = std::stable_partition(children_.begin(), children_.end(),
                                                 [now](const auto& child) { return !child->done(now); });
    for (auto it = firstDone; it != children_.end(); ++it) {
        Child& child = **it;
        child.run.output = utf8OfWideOutput(child.run.output);
        // What it left running ends with the job's last handle.
        child.run.problem = child.stop == OutputStop::end ? endText(child.process)
                                                          : stoppedText(child.stop, limits_, child.exited);
        finished_.emplace_back(child.number, std::move(child.run));
    }
    children_.erase(firstDone, children_.end());
}

}  // namespace plugin::cli::debug_logs
