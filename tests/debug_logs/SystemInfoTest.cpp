#include <gtest/gtest.h>

#include <cstdlib>

#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SystemInfo.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"

using namespace debug_logs_test;
using drivekit::core::Status;

namespace {
const std::vector<dl::SystemCommand> twoCommands = {
    {"Greeting", "echo hello", {}},
    {"Complaint", "echo oops 1>&2; echo done", {}},
};

std::size_t countOf(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}
}  // namespace

TEST(SystemCommands, SectionHeaderFillsTheTitleTo80Characters) {
    EXPECT_EQ(dl::sectionHeader("WMIC"), std::string(40, '-') + " Section: WMIC" + std::string(76, '-'));
    EXPECT_EQ(dl::sectionHeader("Processes list and information"),
              std::string(40, '-') + " Section: Processes list and information" + std::string(50, '-'));
}

TEST(SystemCommands, SectionsHoldOutputAndErrorOutputInTableOrder) {
    ScratchFolder scratch;
    const std::string log = (scratch.path() / "system_info.log").string();
    dl::writeTextFile(log, "header\n", false);
    ConsoleCapture console;
    Status status = Status::notRun();
    dl::WriteSystemCommandsOutputToLog(status, log, twoCommands);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(readFile(log), "header\n" + dl::sectionHeader("Greeting") + "\nhello\n\n" +
                                 dl::sectionHeader("Complaint") + "\noops\ndone\n\n");
    EXPECT_EQ(console.text(), "");
}

TEST(SystemCommands, ProgressIsDotsAtOneAndCommandLinesAtTwo) {
    ScratchFolder scratch;
    const std::string log = (scratch.path() / "system_info.log").string();
    Status status;
    {
        Verbosity verbose(1);
        ConsoleCapture console;
        dl::WriteSystemCommandsOutputToLog(status, log, twoCommands);
        EXPECT_EQ(console.text(), "..\n");
    }
    {
        Verbosity veryVerbose(2);
        ConsoleCapture console;
        dl::WriteSystemCommandsOutputToLog(status, log, twoCommands);
        // The closing line end of the dots comes at level 2 as well.
        EXPECT_EQ(console.text(), "Command:echo hello\nCommand:echo oops 1>&2; echo done\n\n");
    }
}

TEST(OutputFilters, LastLinesKeepsTheTail) {
    EXPECT_EQ(dl::lastLines("a\nb\nc\n", 2), "b\nc\n");
    EXPECT_EQ(dl::lastLines("a\nb\nc", 2), "b\nc");
    EXPECT_EQ(dl::lastLines("a\nb\n", 5), "a\nb\n");
    EXPECT_EQ(dl::lastLines("", 5), "");
    EXPECT_EQ(dl::lastLines("a\nb\n", 0), "");
}

TEST(OutputFilters, SecretValuesAreRedactedWhateverTheLetterCase) {
    const std::string environment =
        "HOME=/root\nAWS_SECRET_ACCESS_KEY=abc\ngithub_token=t0k\nDB_Password=pw\nMY_CREDENTIALS=c\n"
        "SSH_AUTH_SOCK=/tmp/agent\nPATH=/usr/bin\nEMPTY_KEY=\n";
    EXPECT_EQ(dl::redactSecrets(environment, {}),
              "HOME=/root\nAWS_SECRET_ACCESS_KEY=<redacted>\ngithub_token=<redacted>\nDB_Password=<redacted>\n"
              "MY_CREDENTIALS=<redacted>\nSSH_AUTH_SOCK=/tmp/agent\nPATH=/usr/bin\nEMPTY_KEY=<redacted>\n");
}

TEST(OutputFilters, MultiLineSecretsDisappearWhole) {
    // A known multi-line value is hidden even where a later line looks like "NAME=value".
    const std::string known = "PRIVATE_KEY=-----BEGIN-----\nQUJDRA=\n-----END-----";
    const std::string environment = "A=1\n" + known + "\nB=2\n";
    EXPECT_EQ(dl::redactSecrets(environment, {"A=1", known, "B=2"}), "A=1\nPRIVATE_KEY=<redacted>\nB=2\n");
    // Unknown to the process: the lines that follow a secret up to the next variable go too.
    EXPECT_EQ(dl::redactSecrets("API_TOKEN=first\nsecond line\nC=3\n", {}), "API_TOKEN=<redacted>\nC=3\n");
}

TEST(OutputFilters, SecretsUnderNamesThatAreNotIdentifiersAreRedacted) {
    // Such names reach `env` when the shell passes them on; they must not pass for the
    // continuation of the variable before them.
    const std::string token = "npm_config_//registry.example.org/:_authToken=t0k";
    const std::string key = "my.api.key=k3y";
    const std::string environment = "A=1\n" + token + "\n" + key + "\nB=2\n";
    EXPECT_EQ(dl::redactSecrets(environment, {"A=1", token, key, "B=2"}),
              "A=1\nnpm_config_//registry.example.org/:_authToken=<redacted>\nmy.api.key=<redacted>\nB=2\n");
}

TEST(SystemInfo, LogHasHeaderEveryLinuxSectionAndNoSecrets) {
    ScratchFolder scratch;
    FixedClock clock(at(0, 30));
    ::setenv("DEBUG_LOGS_TEST_API_KEY", "do-not-ship-me", 1);
    ConsoleCapture console;
    Status status = Status::notRun();
    dl::SystemInfo("System Info").saveReport(status, nullptr, scratch.path().string());
    ::unsetenv("DEBUG_LOGS_TEST_API_KEY");
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
        EXPECT_GE(found, previous) << command.title;
        previous = found;
    }
    EXPECT_EQ(dl::systemCommandTable().size(), 13u);
    EXPECT_NE(log.find("DEBUG_LOGS_TEST_API_KEY=<redacted>"), std::string::npos);
    EXPECT_EQ(log.find("do-not-ship-me"), std::string::npos);
    EXPECT_EQ(console.text(), "System Info log generated\n");
}

TEST(SystemInfo, UnwritableFolderRunsNothingAndSaysNothing) {
    ScratchFolder scratch;
    ConsoleCapture console;
    Status status;
    dl::SystemInfo("System Info").saveReport(status, nullptr, (scratch.path() / "gone").string());
    EXPECT_TRUE(status.isSuccess());
    EXPECT_FALSE(fs::exists(scratch.path() / "gone"));
    EXPECT_EQ(console.text(), "");
}

TEST(SystemInfo, KernelMessagesKeepAtMostTheLast1000Lines) {
    std::string many;
    for (int i = 0; i < 1500; ++i) {
        many += "line " + std::to_string(i) + "\n";
    }
    for (const auto& command : dl::systemCommandTable()) {
        if (command.title == "Kernel messages") {
            ASSERT_TRUE(command.trim);
            const std::string kept = command.trim(many);
            EXPECT_EQ(countOf(kept, "\n"), 1000u);
            EXPECT_EQ(kept.substr(0, 9), "line 500\n");
            return;
        }
    }
    FAIL() << "no kernel messages section";
}
