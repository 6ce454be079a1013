#pragma once
// The commands whose output describes the host computer in "system_info.log". Each platform
// supplies its own table; every program and argument is fixed text, never user input.
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "drivekit/core/Status.h"

namespace plugin::cli::debug_logs {

struct SystemCommand {
    std::string title;
    // The program and its arguments; empty when `collect` makes the section instead.
    std::vector<std::string> arguments;
    // Applied to the captured output before it is stored; none keeps it as received.
    std::function<std::string(const std::string&)> trim;
    // Makes the section's text inside this process, for what no program may print whole.
    std::function<std::string()> collect;
};

// What one command may take: a command that hangs or floods its output is stopped.
struct CommandLimits {
    std::chrono::milliseconds time{std::chrono::seconds(30)};
    std::size_t outputBytes = std::size_t{4} << 20;
};

// What a command printed (error output included, at most the output limit) and, when it did not
// end by itself with exit status 0, one sentence that says what happened instead.
struct CommandRun {
    std::string output;
    std::string problem;
};

// The platform's table, in the order of the log's sections.
const std::vector<SystemCommand>& systemCommandTable();

// The platform's programs that take longest, the slowest first: they are started before the others
// so that the quick ones fill the time they take.
const std::vector<std::string>& slowestProgramsFirst();

// The order to start the table's commands in: those of the slowest programs first, the rest in the
// table's order.
std::vector<std::size_t> startOrder(const std::vector<SystemCommand>& table);

// The arguments joined by blanks: the command line shown at verbosity 2 (and, on Windows, the
// line given to the command interpreter).
std::string commandLineOf(const std::vector<std::string>& arguments);

// Runs the program with the given arguments. On Linux: without a shell, found only in the system's
// own program folders, with an environment of nothing but that search path and LANG=C, its whole
// process group stopped at the time limit. On Windows the line goes through the system folder's
// command interpreter with a search path of the system folders only, the rest of the environment
// inherited, and its job (everything it started) stopped at the time limit.
CommandRun runCommand(const std::vector<std::string>& arguments, const CommandLimits& limits);

// Sets up and removes what the platform's commands rely on (a helper script on Windows).
void prepareSystemCommands();
void cleanUpSystemCommands();

// 40 "-", " Section: ", the title, then "-" up to 80 characters after the title's start.
std::string sectionHeader(const std::string& title);

// Runs every command of the table, a few at a time in the start order, and appends one section per
// command to the log file in the table's order; a command that fails leaves a line that says so in
// its section and the others run. After a stop request (Ctrl-C) the running commands are stopped,
// the rest are not started, and each section says so.
// Progress, in the table's order, for the commands that were started: one dot per command at
// verbosity 1, a "Command:" line each at verbosity 2.
drivekit::core::Status WriteSystemCommandsOutputToLog(drivekit::core::Status& status,
                                                      const std::string& logFilePath);
drivekit::core::Status WriteSystemCommandsOutputToLog(drivekit::core::Status& status,
                                                      const std::string& logFilePath,
                                                      const std::vector<SystemCommand>& table,
                                                      const CommandLimits& limits = {});

}  // namespace plugin::cli::debug_logs
