// Runs system commands on Linux side by side: no shell, a fixed search path, a time limit and an
// output limit each, and nothing left behind. The thread blocks in one ppoll over every output
// pipe and every process descriptor (pidfd); a kernel without pidfd_open reports the ends through
// a signalfd for SIGCHLD instead.
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "drivekit/core/StopRequest.h"
#include "plugins/plugin.debug_logs/debug_logs_common/CommandBatch.h"
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
int spawnCommand(const std::string& path, const std::vector<std::string>& arguments, pid_t& pid, int& output) {
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

// A descriptor that becomes readable when the process ends; -1 where the kernel has none.
int openPidfd(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
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

void closeOnce(int& descriptor) {
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
}

// While a wait runs, the stop signals are held back except inside ppoll: a Ctrl-C that comes
// between the look at the stop request and the wait still ends the wait. SIGCHLD, when a child
// has no pidfd, stays held back throughout so that the signalfd receives it.
class HeldSignals {
public:
    explicit HeldSignals(bool childSignals) {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
            sigaddset(&held, signal);
        }
        if (childSignals) {
            sigaddset(&held, SIGCHLD);
        }
        ::pthread_sigmask(SIG_BLOCK, &held, &original_);
        duringWait_ = original_;
        if (childSignals) {
            sigaddset(&duringWait_, SIGCHLD);
            sigset_t child;
            sigemptyset(&child);
            sigaddset(&child, SIGCHLD);
            childEnds_ = ::signalfd(-1, &child, SFD_CLOEXEC | SFD_NONBLOCK);
        }
    }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;
    ~HeldSignals() {
        closeOnce(childEnds_);
        ::pthread_sigmask(SIG_SETMASK, &original_, nullptr);
    }
    const sigset_t* duringWait() const { return &duringWait_; }
    // Readable when a child has ended; -1 when every child has a pidfd.
    int childEnds() const { return childEnds_; }
    void drain() const {
        signalfd_siginfo info;
        while (::read(childEnds_, &info, sizeof(info)) == static_cast<ssize_t>(sizeof(info))) {
        }
    }

private:
    sigset_t original_;
    sigset_t duringWait_;
    int childEnds_ = -1;
};
}  // namespace

struct CommandBatch::Child {
    std::size_t number = 0;
    pid_t pid = -1;
    int output = -1;  // closed at its end or at the stop
    int pidfd = -1;
    Clock::time_point deadline;  // the time limit, then the grace after the kill
    CommandRun run;
    OutputStop stop = OutputStop::end;  // why it was killed, if it was
    bool exited = false;
    int waitStatus = 0;

    ~Child() {
        closeOnce(output);
        closeOnce(pidfd);
    }

    // Takes the wait status if the process has ended.
    void lookForEnd() {
        if (exited) {
            return;
        }
        pid_t done;
        while ((done = ::waitpid(pid, &waitStatus, WNOHANG)) < 0 && errno == EINTR) {
        }
        if (done < 0) {
            // Already reaped, by a host that lets the system reap its children: its status is lost.
            waitStatus = 0;
        }
        exited = done != 0;
        if (exited) {
            closeOnce(pidfd);
        }
    }

    // Takes what the pipe holds; false when the output limit was passed.
    bool readSome(std::size_t limit) {
        char buffer[65536];
        const ssize_t received = ::read(output, buffer, sizeof(buffer));
        if (received < 0 && (errno == EINTR || errno == EAGAIN)) {
            return true;
        }
        if (received <= 0) {
            closeOnce(output);
            return true;
        }
        const std::size_t room = limit - run.output.size();
        run.output.append(buffer, std::min(room, static_cast<std::size_t>(received)));
        return static_cast<std::size_t>(received) <= room;
    }

    bool done(Clock::time_point now) const {
        return exited ? (stop != OutputStop::end || output < 0) : stop != OutputStop::end && now >= deadline;
    }
};

CommandBatch::CommandBatch(const CommandLimits& limits) : limits_(limits) {}

CommandBatch::~CommandBatch() { stopAll(); }

void CommandBatch::start(std::size_t number, const std::vector<std::string>& arguments) {
    CommandRun run;
    const std::string program = arguments.empty() ? std::string() : arguments.front();
    const std::string path = programPath(program);
    if (path.empty()) {
        run.problem = notStartedText("no program \"" + program + "\" in " + searchPath);
        finished_.emplace_back(number, run);
        return;
    }
    auto child = std::make_unique<Child>();
    if (const int error = spawnCommand(path, arguments, child->pid, child->output); error != 0) {
        run.problem = notStartedText(std::strerror(error));
        finished_.emplace_back(number, run);
        return;
    }
    child->number = number;
    child->pidfd = openPidfd(child->pid);
    child->deadline = Clock::now() + limits_.time;
    children_.push_back(std::move(child));
}

void CommandBatch::stop(Child& child, OutputStop why) {
    if (child.stop != OutputStop::end) {
        return;
    }
    child.stop = why;
    ::kill(-child.pid, SIGKILL);
    // What it wrote after this is of no use; a writer left behind gets a broken pipe.
    closeOnce(child.output);
    child.deadline = Clock::now() + killGrace;
}

void CommandBatch::waitForEvents() {
    const bool childSignals = std::any_of(children_.begin(), children_.end(),
                                          [](const auto& child) { return !child->exited && child->pidfd < 0; });
    const HeldSignals held(childSignals);
    if (childSignals) {
        // An end before the signal was held back came as a signal that is gone.
        for (auto& child : children_) {
            child->lookForEnd();
        }
    }
    if (drivekit::core::StopRequest::requested()) {
        for (auto& child : children_) {
            stop(*child, OutputStop::request);
        }
    }
    std::vector<pollfd> ready;
    Clock::time_point next = Clock::time_point::max();
    for (const auto& child : children_) {
        ready.push_back({child->output, POLLIN, 0});  // a negative descriptor is left out by ppoll
        ready.push_back({child->exited ? -1 : child->pidfd, POLLIN, 0});
        next = std::min(next, child->deadline);
    }
    ready.push_back({held.childEnds(), POLLIN, 0});
    const auto left = std::max(Clock::duration::zero(), next - Clock::now());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const timespec timeout{static_cast<time_t>(seconds.count()),
                           static_cast<long>(std::chrono::nanoseconds(left - seconds).count())};
    if (::ppoll(ready.data(), ready.size(), &timeout, held.duringWait()) <= 0) {
        return;  // the deadline, or a signal: the caller looks at both
    }
    if (ready.back().revents != 0) {
        held.drain();
    }
    for (std::size_t i = 0; i < children_.size(); ++i) {
        Child& child = *children_[i];
        if (ready[2 * i].revents != 0 && !child.readSome(limits_.outputBytes)) {
            stop(child, OutputStop::size);
        }
        if (ready[2 * i + 1].revents != 0 || (childSignals && ready.back().revents != 0)) {
            child.lookForEnd();
        }
    }
}

void CommandBatch::collectDone() {
    const Clock::time_point now = Clock::now();
    for (auto& child : children_) {
        if (child->stop == OutputStop::end && now >= child->deadline) {
            // Without a pidfd the SIGCHLD may have gone to another thread of the host: an end it
            // announced is seen here at the latest.
            child->lookForEnd();
            if (!child->done(now)) {
                stop(*child, OutputStop::time);
            }
        }
    }
    const auto firstDone = std::stable_partition(children_.begin(), children_.end(),
                                                 [now](const auto& child) { return !child->done(now); });
    for (auto it = firstDone; it != children_.end(); ++it) {
        Child& child = **it;
        child.run.problem = child.stop == OutputStop::end ? endText(child.waitStatus)
                                                          : stoppedText(child.stop, limits_, child.exited);
        finished_.emplace_back(child.number, std::move(child.run));
    }
    children_.erase(firstDone, children_.end());
}

}  // namespace plugin::cli::debug_logs
