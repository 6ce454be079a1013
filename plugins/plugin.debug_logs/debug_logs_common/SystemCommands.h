#pragma once
// The shell commands whose output describes the host computer in "system_info.log". Each
// platform supplies its own table; every command line is fixed text, never user input.
#include <functional>
#include <string>
#include <vector>

#include "drivekit/core/Status.h"

namespace plugin::cli::debug_logs {

struct SystemCommand {
    std::string title;
    std::string commandLine;
    // Applied to the captured output before it is stored; none keeps it as received.
    std::function<std::string(const std::string&)> trim;
};

// The platform's table, in the order of the log's sections.
const std::vector<SystemCommand>& systemCommandTable();

// Runs the command line through the shell with its error output captured; everything it
// printed, or empty text when it could not be started.
std::string runCommand(const std::string& commandLine);

// Sets up and removes what the platform's commands rely on (a helper script on Windows).
void prepareSystemCommands();
void cleanUpSystemCommands();

// 40 "-", " Section: ", the title, then "-" up to 80 characters after the title's start.
std::string sectionHeader(const std::string& title);

// Runs every command of the table and appends one section per command to the log file.
// Progress: one dot per command at verbosity 1, a "Command:" line each at verbosity 2.
drivekit::core::Status WriteSystemCommandsOutputToLog(drivekit::core::Status& status,
                                                      const std::string& logFilePath);
drivekit::core::Status WriteSystemCommandsOutputToLog(drivekit::core::Status& status,
                                                      const std::string& logFilePath,
                                                      const std::vector<SystemCommand>& table);

}  // namespace plugin::cli::debug_logs
