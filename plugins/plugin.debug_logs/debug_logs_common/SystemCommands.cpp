#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"

namespace plugin::cli::debug_logs {

namespace {
// The section's text: the output (trimmed), then the line that says what went wrong, if anything.
std::string sectionText(const SystemCommand& command, const CommandLimits& limits) {
    if (command.collect) {
        return command.collect();
    }
    const CommandRun run = runCommand(command.arguments, limits);
    std::string text = command.trim ? command.trim(run.output) : run.output;
    if (!run.problem.empty()) {
        LOG_WARNING(command.title << ": " << run.problem);
        if (!text.empty() && text.back() != '\n') {
            text += '\n';
        }
        text += run.problem + "\n";
    }
    return text;
}
}  // namespace

std::string commandLineOf(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        line += (line.empty() ? "" : " ") + argument;
    }
    return line;
}

std::string sectionHeader(const std::string& title) {
    const std::size_t width = 80;
    const std::size_t tail = title.size() < width ? width - title.size() : 0;
    return std::string(40, '-') + " Section: " + title + std::string(tail, '-');
}

drivekit::core::Status WriteSystemCommandsOutputToLog(drivekit::core::Status& status,
                                                      const std::string& logFilePath) {
    return WriteSystemCommandsOutputToLog(status, logFilePath, systemCommandTable());
}

drivekit::core::Status WriteSystemCommandsOutputToLog(drivekit::core::Status& status,
                                                      const std::string& logFilePath,
                                                      const std::vector<SystemCommand>& table,
                                                      const CommandLimits& limits) {
    LOG_ENTERING();
    prepareSystemCommands();
    std::string text;
    for (const SystemCommand& command : table) {
        if (verbosityLevel() >= 2) {
            printMessage("Command:" + (command.collect ? command.title : commandLineOf(command.arguments)));
        } else if (verbosityLevel() == 1) {
            printPartial(".");
        }
        text += sectionHeader(command.title) + "\n" + sectionText(command, limits) + "\n";
    }
    cleanUpSystemCommands();
    if (verbosityLevel() >= 1) {
        printMessage("");
    }
    if (writeTextFile(logFilePath, text, true)) {
        LOG_DEBUG("Success in Writing System Info: " << logFilePath);
    }
    status = drivekit::core::Status::success();
    return status;
}

}  // namespace plugin::cli::debug_logs
