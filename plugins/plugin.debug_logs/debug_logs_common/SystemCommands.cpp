#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"

namespace plugin::cli::debug_logs {

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
                                                      const std::vector<SystemCommand>& table) {
    LOG_ENTERING();
    prepareSystemCommands();
    std::string text;
    for (const SystemCommand& command : table) {
        if (verbosityLevel() >= 2) {
            printMessage("Command:" + command.commandLine);
        } else if (verbosityLevel() == 1) {
            printPartial(".");
        }
        text += sectionHeader(command.title) + "\n";
        const std::string output = runCommand(command.commandLine);
        text += (command.trim ? command.trim(output) : output) + "\n";
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
