// Runs one system command on Windows: through the command interpreter of the system folder, with
// a search path of the system folders only, a time limit and an output limit, and nothing left
// behind.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "plugins/plugin.debug_logs/debug_logs_common/CommandProblems.h"
#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"
#include "plugins/plugin.debug_logs/debug_logs_common/win/Handle.h"
#include "plugins/plugin.debug_logs/debug_logs_common/win/SystemPrograms.h"

namespace plugin::cli::debug_logs {

namespace {
using Clock = std::chrono::steady_clock;
using platform::Handle;

// How long to wait before looking at the pipe again when it was empty.
constexpr DWORD pollInterval = 10;

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

// Starts "cmd.exe /d /c line" from the system folder (without AutoRun commands), reading nothing
// and writing both outputs into one pipe. It starts suspended and runs only once inside the job,
// so nothing it starts escapes the job. Returns 0 or the error number.
DWORD start(const std::wstring& system, const std::string& line, Child& child) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        return GetLastError();
    }
    child.output.reset(readEnd);
    // Closed here when the function returns, so that the pipe breaks once the child is gone.
    const Handle write(writeEnd);
    const Handle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                   OPEN_EXISTING, 0, nullptr));
    if (!input || !SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0)) {
        return GetLastError();
    }
    HANDLE handles[] = {input.get(), write.get()};
    InheritedHandles inherited;
    if (const DWORD error = inheritOnly(handles, 2, inherited); error != 0) {
        return error;
    }
    if (const DWORD error = createJob(child.job); error != 0) {
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
    child.process.reset(started.hProcess);
    const Handle thread(started.hThread);
    if (!AssignProcessToJobObject(child.job.get(), child.process.get())) {
        const DWORD error = GetLastError();
        TerminateProcess(child.process.get(), 1);
        return error;
    }
    ResumeThread(thread.get());
    return 0;
}

// Reads the output until the command has ended and the pipe is drained, the deadline passes or
// the limit is reached; what it keeps is at most limit bytes. It looks and sleeps rather than
// blocks: a blocking read could outlast the deadline, and no thread of ours may watch it.
OutputStop readOutput(const Child& child, Clock::time_point deadline, std::size_t limit, std::string& text) {
    char buffer[4096];
    for (;;) {
        if (Clock::now() >= deadline) {
            return OutputStop::time;
        }
        // Looked at before the pipe: once the command has ended, the pipe holds all it wrote.
        const bool ended = WaitForSingleObject(child.process.get(), 0) == WAIT_OBJECT_0;
        DWORD available = 0;
        if (!PeekNamedPipe(child.output.get(), nullptr, 0, nullptr, &available, nullptr)) {
            return OutputStop::end;  // every writer has closed its end
        }
        if (available == 0) {
            if (ended) {
                return OutputStop::end;
            }
            Sleep(pollInterval);
            continue;
        }
        DWORD received = 0;
        const DWORD wanted = std::min<DWORD>(available, sizeof(buffer));
        if (!ReadFile(child.output.get(), buffer, wanted, &received, nullptr) || received == 0) {
            return OutputStop::end;
        }
        const std::size_t room = limit - text.size();
        text.append(buffer, std::min<std::size_t>(room, received));
        if (received > room) {
            return OutputStop::size;
        }
    }
}

// Whether the process ends by the deadline.
bool endsBy(const Handle& process, Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const DWORD wait = static_cast<DWORD>(std::clamp<long long>(left, 0, INFINITE - 1));
    return WaitForSingleObject(process.get(), wait) == WAIT_OBJECT_0;
}

// The sentence for a command that ended by itself; empty for exit status 0.
std::string endText(const Handle& process) {
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);  // it has ended: the call cannot find it still running
    return exitStatusText(exitCode);
}
}  // namespace

CommandRun runCommand(const std::vector<std::string>& arguments, const CommandLimits& limits) {
    CommandRun run;
    std::string reason;
    const std::wstring system = platform::systemFolder(reason);
    if (system.empty()) {
        run.problem = notStartedText(reason);
        return run;
    }
    Child child;
    if (const DWORD error = start(system, commandLineOf(arguments), child); error != 0) {
        run.problem = notStartedText(platform::errorText(error));
        return run;
    }
    const Clock::time_point deadline = Clock::now() + limits.time;
    const OutputStop stop = readOutput(child, deadline, limits.outputBytes, run.output);
    run.output = utf8OfWideOutput(run.output);
    if (stop == OutputStop::end && endsBy(child.process, deadline)) {
        // What it left running ends with the job's last handle.
        run.problem = endText(child.process);
        return run;
    }
    TerminateJobObject(child.job.get(), 1);
    run.problem = stoppedText(stop, limits, endsBy(child.process, Clock::now() + killGrace));
    return run;
}

}  // namespace plugin::cli::debug_logs
