#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <regex>
#include <thread>
#include <tuple>

#include "drivekit/core/StopRequest.h"
#include "drivekit/core/StopSignalScope.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SystemInfo.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"
#include "tests/support/ScopedVariable.h"

using namespace debug_logs_test;
using test_support::ScopedVariable;
using drivekit::core::Status;
using namespace std::chrono_literals;

namespace {
const std::string secret = "s3cr3t";

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A shell that waits with a secret among its arguments, in a process group of its own that is
// killed and reaped at the end.
class SecretHolder {
public:
    SecretHolder() {
        const std::string password = "--password=" + secret;
        const char* argv[] = {"sh", "-c", "sleep 30; :", password.c_str(), nullptr};
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        started_ = ::posix_spawn(&pid_, "/bin/sh", nullptr, &attributes, const_cast<char**>(argv), environ) == 0;
        posix_spawnattr_destroy(&attributes);
    }
    ~SecretHolder() {
        if (started_) {
            ::kill(-pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool started() const { return started_; }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    bool started_ = false;
};

// Running means it exists and is no zombie waiting for a parent that does not reap it.
bool running(const std::string& pid) {
    const std::string stat = readFile("/proc/" + pid + "/stat");
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

bool hasChildren() { return ::waitpid(-1, nullptr, WNOHANG) != -1 || errno != ECHILD; }
}  // namespace

TEST(SystemCommands, EverySectionInTableOrderSaysHowItsCommandEndedAndTheRunGoesOn) {
    ScratchFolder scratch;
    const std::string log = (scratch.path() / "system_info.log").string();
    // Each waits for the marks of the other two, which only comes when all three run at once.
    const auto meeting = [&](const std::string& self, const std::string& a, const std::string& b) {
        const std::string folder = scratch.path().string() + "/";
        return std::vector<std::string>{"sh", "-c",
                                        "touch " + folder + self + "; until [ -e " + folder + a + " ] && [ -e " +
                                            folder + b + " ]; do sleep 0.01; done; echo met " + self};
    };
    const auto inside = [] { return std::string("made here\n"); };
    const std::string asked = "Command stopped: the run was asked to stop.\n";
    struct Case {
        std::vector<dl::SystemCommand> table;
        dl::CommandLimits limits;
        std::vector<std::string> texts;  // each section's, in the table's order
    };
    const std::vector<Case> cases = {
        {{{"Greeting", {"echo", "hello"}, {}, {}},
          {"Complaint", {"sh", "-c", "echo oops 1>&2; exit 3"}, {}, {}},
          {"Hang", {"sleep", "30"}, {}, {}},
          {"A", meeting("a", "b", "c"), {}, {}},
          {"B", meeting("b", "c", "a"), {}, {}},
          {"C", meeting("c", "a", "b"), {}, {}},
          {"Inside", {}, {}, inside},
          // One of the slow programs, started first, still in its place in the log and the progress.
          {"Slow", {"ps", "-p", "4194000", "-o", "pid="}, {}, {}}},
         {3s, 1000},
         {"hello\n", "oops\nCommand failed with exit status 3.\n", "Command stopped: no end within 3 s.\n", "met a\n",
          "met b\n", "met c\n", "made here\n", "Command failed with exit status 1.\n"}},
        // Ctrl-C while four commands run: they are stopped, the rest never start.
        {{{"S1", {"sleep", "30"}, {}, {}},
          {"S2", {"sleep", "30"}, {}, {}},
          {"S3", {"sleep", "30"}, {}, {}},
          {"Stop", {"sh", "-c", "kill -INT $PPID; sleep 30"}, {}, {}},
          {"Never", {"echo", "x"}, {}, {}},
          {"Inside", {}, {}, inside}},
         {60s, 1000},
         {asked, asked, asked, asked, "Command not run: the run was asked to stop.\n",
          "Command not run: the run was asked to stop.\n"}},
    };
    for (const Case& c : cases) {
        dl::writeTextFile(log, "header\n", false);
        std::string expected = "header\n";
        std::string progress;
        for (std::size_t i = 0; i < c.table.size(); ++i) {
            expected += dl::sectionHeader(c.table[i].title) + "\n" + c.texts[i] + "\n";
            const auto& command = c.table[i];
            if (c.texts[i].rfind("Command not run", 0) != 0) {
                const std::string shown = command.collect ? command.title : dl::commandLineOf(command.arguments);
                progress += "Command:" + shown + "\n";
            }
        }
        Verbosity verbosity(2);
        ConsoleCapture console;
        drivekit::core::StopSignalScope stopSignals;
        Status status = Status::notRun();
        dl::WriteSystemCommandsOutputToLog(status, log, c.table, c.limits);
        drivekit::core::StopRequest::clear();
        EXPECT_TRUE(status.isSuccess());
        EXPECT_EQ(readFile(log), expected);
        EXPECT_EQ(console.text(), progress + "\n");
        EXPECT_FALSE(hasChildren());
    }
}

TEST(RunCommand, RunsOnlySystemProgramsWithACleanEnvironmentAndReportsHowTheyEnded) {
    // A planted program earlier in the caller's search path leaves a mark when it runs.
    ScratchFolder planted;
    const fs::path mark = planted.path() / "ran";
    std::ofstream((planted.path() / "uname").string()) << "#!/bin/sh\ntouch " << mark.string() << "\necho planted\n";
    fs::permissions(planted.path() / "uname", fs::owner_all);
    ScopedVariable path("PATH", planted.path().string() + ":" + variable("PATH"));
    ScopedVariable database("DATABASE_URL", "postgres://admin:" + secret + "@db/x");

    struct Case {
        std::vector<std::string> arguments;
        dl::CommandLimits limits;
        std::string output;
        std::string problem;
    };
    const dl::CommandLimits limits{20s, 1000};
    std::string yes500;
    for (int i = 0; i < 500; ++i) {
        yes500 += "y\n";
    }
    const std::vector<Case> cases = {
        {{"uname", "-s"}, limits, "Linux\n", ""},
        {{"sh", "-c", "echo $PATH $LANG ${DATABASE_URL-unset}"}, limits, "/usr/sbin:/usr/bin:/sbin:/bin C unset\n", ""},
        {{"sh", "-c", "printf out; printf err >&2"}, limits, "outerr", ""},
        {{"cat"}, limits, "", ""},  // standard input is empty, not the caller's terminal
        {{"sh", "-c", "exit 3"}, limits, "", "Command failed with exit status 3."},
        {{"sh", "-c", "kill -9 $$"}, limits, "", "Command ended by signal 9 (Killed)."},
        {{"no-such-program"}, limits, "",
         "Command could not be started: no program \"no-such-program\" in /usr/sbin:/usr/bin:/sbin:/bin."},
        {{"/"}, limits, "", "Command could not be started: Permission denied."},
        {{"yes"}, limits, yes500, "Output cut at 1000 bytes; command stopped."},
        {{"sh", "-c", "sleep 30"}, {200ms, 1000}, "", "Command stopped: no end within 200 ms."},
    };
    for (const Case& c : cases) {
        const dl::CommandRun run = dl::runCommand(c.arguments, c.limits);
        EXPECT_EQ(run.output, c.output) << dl::commandLineOf(c.arguments);
        EXPECT_EQ(run.problem, c.problem) << dl::commandLineOf(c.arguments);
    }
    EXPECT_FALSE(fs::exists(mark));
    EXPECT_FALSE(hasChildren());
}

TEST(RunCommand, AStoppedCommandTakesWhatItStartedAlong) {
    const dl::CommandRun run = dl::runCommand({"sh", "-c", "sleep 30 & echo $!; wait"}, {500ms, 1000});
    EXPECT_EQ(run.problem, "Command stopped: no end within 500 ms.");
    const std::string background = run.output.substr(0, run.output.find('\n'));
    ASSERT_FALSE(background.empty());
    // The background sleep was orphaned by the kill; whoever adopts it reaps it in its own time.
    for (int tries = 0; tries < 200 && running(background); ++tries) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_FALSE(running(background));
    EXPECT_FALSE(hasChildren());
}

TEST(OutputFilters, LastLinesKeepsTheTailAndTheEnvironmentHidesValuesNotAllowed) {
    const std::tuple<std::string, std::size_t, std::string> tails[] = {
        {"a\nb\nc\n", 2, "b\nc\n"}, {"a\nb\nc", 2, "b\nc"}, {"a\nb\n", 5, "a\nb\n"}, {"", 5, ""}, {"a\nb\n", 0, ""}};
    for (const auto& [text, count, tail] : tails) {
        EXPECT_EQ(dl::lastLines(text, count), tail) << text << count;
    }

    // The environment shows every name but only the values it may.
    const std::vector<std::string> entries = {"PATH=/usr/bin", "DATABASE_URL=postgres://admin:pw@db/x",
                                              "LANG=a\nFAKE=b", "PATH2=/x", "EMPTY=", "KEY=-----\nFAKE=c\n-----",
                                              "odd"};
    EXPECT_EQ(dl::maskedEnvironment(entries, {"PATH", "LANG", "EMPTY", "odd"}),
              "PATH=/usr/bin\nDATABASE_URL=<redacted>\nLANG=a\\nFAKE=b\nPATH2=<redacted>\nEMPTY=\n"
              "KEY=<redacted>\nodd=<redacted>\n");

    // UTF-16 output (a byte-order mark first) becomes UTF-8; anything else is kept byte for byte.
    const std::pair<std::string, std::string> wide[] = {
        {std::string("\xFF\xFE" "E\0r\0\xE9\0\x3D\xD8\x00\xDE\n\0", 14), "Er\xC3\xA9\xF0\x9F\x98\x80\n"},
        {std::string("\xFF\xFE" "\x00\xDCx", 5), "\xEF\xBF\xBD"},  // a lone surrogate, then an odd byte
        {std::string("E\0r\0", 4), std::string("E\0r\0", 4)},
    };
    for (const auto& [output, text] : wide) {
        EXPECT_EQ(dl::utf8OfWideOutput(output), text);
    }
}

TEST(SystemInfo, LogHasEverySectionAndNeitherArgumentsNorHiddenValues) {
    ScratchFolder scratch;
    FixedClock clock(at(0, 30));
    ScopedVariable database("DATABASE_URL", "postgres://admin:" + secret + "@db/x");
    SecretHolder holder;
    ASSERT_TRUE(holder.started());
    ConsoleCapture console;
    Status status = Status::notRun();
    dl::SystemInfo("System Info").saveReport(status, nullptr, scratch.path().string());
    EXPECT_TRUE(status.isSuccess());
    const std::string log = readFile(scratch.path() / "system_info.log");
    const std::string header = std::string(40, '-') + "Section: Version" + std::string(72, '-') + "\n2.4.323\n" +
                               std::string(40, '-') + " Section: Date & Time " + std::string(72, '-') +
                               "\n07/04/2026 00:30:00 AM\n";
    EXPECT_EQ(log.substr(0, header.size()), header);
    std::size_t previous = header.size();
    for (const auto& command : dl::systemCommandTable()) {
        const auto found = log.find(dl::sectionHeader(command.title) + "\n", previous);
        ASSERT_NE(found, std::string::npos) << command.title;
        previous = found;
    }
    // The shell holding the secret is listed, by its name only.
    EXPECT_TRUE(std::regex_search(log, std::regex("\n *" + std::to_string(holder.pid()) + " +\\S+ +\\d+ sh\n")));
    EXPECT_EQ(log.find(secret), std::string::npos);
    EXPECT_NE(log.find("\nDATABASE_URL=<redacted>\n"), std::string::npos);
    EXPECT_NE(log.find("\nPATH=" + variable("PATH") + "\n"), std::string::npos);

    // A folder that cannot be written runs nothing and says nothing.
    Status unwritable;
    dl::SystemInfo("System Info").saveReport(unwritable, nullptr, (scratch.path() / "gone").string());
    EXPECT_TRUE(unwritable.isSuccess());
    EXPECT_FALSE(fs::exists(scratch.path() / "gone"));
    EXPECT_EQ(console.text(), "System Info log generated\n");
}
