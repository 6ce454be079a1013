// Runs one system command on Linux: no shell, a fixed search path, a time limit and an output
// limit, and nothing left behind.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <thread>

#include "plugins/plugin.debug_logs/debug_logs_common/CommandProblems.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

namespace plugin::cli::debug_logs {

namespace {
using Clock = std::chrono::steady_clock;

// The system's own program folders, never the caller's search path: a program planted in front
// of them must not run in place of the real one.
const char* const searchPath = "/usr/sbin:/usr/bin:/sbin:/bin";
const char* const programFolders[] = {"/usr/sbin", "/usr/bin", "/sbin", "/bin"};

// The program as given when it names a folder, else the first executable file of that name in
// the program folders; empty when there is none.
std::string programPath(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return program;
    }
    for (const char* folder : programFolders) {
        const std::string path = std::string(folder) + "/" + program;
        struct stat info {};
        if (!program.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return {};
}

// Starts the program as the leader of a process group of its own, so that a stop reaches
// everything it started; standard input reads nothing, both outputs go into one pipe, no other
// descriptor of this process is passed on, and ignored or blocked signals are reset. Returns 0 or
// the error number.
int start(const std::string& path, const std::vector<std::string>& arguments, pid_t& pid, int& output) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return errno;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    std::string pathEntry = std::string("PATH=") + searchPath;
    std::string langEntry = "LANG=C";
    char* environment[] = {pathEntry.data(), langEntry.data(), nullptr};

    const int error = ::posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), environment);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (error != 0) {
        ::close(ends[0]);
        return error;
    }
    output = ends[0];
    return 0;
}

// Reads the output until it ends, the deadline passes or the limit is reached; what it keeps is
// at most limit bytes.
OutputStop readOutput(int output, Clock::time_point deadline, std::size_t limit, std::string& text) {
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return OutputStop::time;
        }
        pollfd ready{output, POLLIN, 0};
        const int count = ::poll(&ready, 1, static_cast<int>(std::min<long long>(left, INT_MAX)));
        if (count < 0 && errno != EINTR) {
            return OutputStop::end;
        }
        if (count <= 0) {
            continue;
        }
        const ssize_t received = ::read(output, buffer, sizeof(buffer));
        if (received < 0 && errno == EINTR) {
            continue;
        }
        if (received <= 0) {
            return OutputStop::end;
        }
        const std::size_t room = limit - text.size();
        text.append(buffer, std::min(room, static_cast<std::size_t>(received)));
        if (static_cast<std::size_t>(received) > room) {
            return OutputStop::size;
        }
    }
}

// Waits until the deadline for the process to end; true, with its wait status, when it did.
bool reap(pid_t pid, Clock::time_point deadline, int& waitStatus) {
    for (;;) {
        const pid_t done = ::waitpid(pid, &waitStatus, WNOHANG);
        if (done == pid) {
            return true;
        }
        if (done < 0 && errno != EINTR) {
            // Already reaped, by a host that lets the system reap its children: its status is lost.
            waitStatus = 0;
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The sentence for a command that ended by itself; empty for exit status 0.
std::string endText(int waitStatus) {
    if (WIFEXITED(waitStatus)) {
        return exitStatusText(static_cast<unsigned long>(WEXITSTATUS(waitStatus)));
    }
    if (WIFSIGNALED(waitStatus)) {
        const int signal = WTERMSIG(waitStatus);
        return "Command ended by signal " + std::to_string(signal) + " (" + ::strsignal(signal) + ").";
    }
    return {};
}
}  // namespace

CommandRun runCommand(const std::vector<std::string>& arguments, const CommandLimits& limits) {
    CommandRun run;
    const std::string program = arguments.empty() ? std::string() : arguments.front();
    const std::string path = programPath(program);
    if (path.empty()) {
        run.problem = notStartedText("no program \"" + program + "\" in " + searchPath);
        return run;
    }
    pid_t pid = -1;
    int output = -1;
    if (const int error = start(path, arguments, pid, output); error != 0) {
        run.problem = notStartedText(std::strerror(error));
        return run;
    }
    const Clock::time_point deadline = Clock::now() + limits.time;
    const OutputStop stop = readOutput(output, deadline, limits.outputBytes, run.output);
    int waitStatus = 0;
    const bool ended = stop == OutputStop::end && reap(pid, deadline, waitStatus);
    bool reaped = ended;
    if (!ended) {
        ::kill(-pid, SIGKILL);
        reaped = reap(pid, Clock::now() + killGrace, waitStatus);
    }
    ::close(output);
    run.problem = ended ? endText(waitStatus) : stoppedText(stop, limits, reaped);
    return run;
}

}  // namespace plugin::cli::debug_logs
