#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

#include "drivekit/core/StopRequest.h"
#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/CommandBatch.h"
#include "plugins/plugin.debug_logs/debug_logs_common/CommandProblems.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"

namespace plugin::cli::debug_logs {

namespace {
// How many commands run at once. They mostly wait (for the program to load, for the kernel to
// fill /proc and /sys files), so more than the two cores of a small machine pay; beyond four the
// gain is lost in the programs' own start-up competing for those cores.
constexpr std::size_t commandsAtOnce = 4;

// The section's text: the output (trimmed), then the line that says what went wrong, if anything.
std::string sectionText(const SystemCommand& command, const CommandRun& run) {
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

void showProgress(const SystemCommand& command) {
    if (verbosityLevel() >= 2) {
        printMessage("Command:" + (command.collect ? command.title : commandLineOf(command.arguments)));
    } else if (verbosityLevel() == 1) {
        printPartial(".");
    }
}

// Every section's text, in the table's order; the commands run up to commandsAtOnce at a time,
// started (and shown) in that order. After a stop request nothing more is started.
std::vector<std::string> sectionTexts(const std::vector<SystemCommand>& table, const CommandLimits& limits) {
    std::vector<std::string> texts(table.size());
    CommandBatch batch(limits);
    const auto keep = [&](std::vector<CommandBatch::Finished> finished) {
        for (const auto& [number, run] : finished) {
            texts[number] = sectionText(table[number], run);
        }
    };
    for (std::size_t number = 0; number < table.size(); ++number) {
        while (batch.unfinished() >= commandsAtOnce) {
            keep(batch.wait());
        }
        if (drivekit::core::StopRequest::requested()) {
            texts[number] = notRunText() + "\n";
            continue;
        }
        showProgress(table[number]);
        if (table[number].collect) {
            texts[number] = table[number].collect();
        } else {
            batch.start(number, table[number].arguments);
        }
    }
    while (batch.unfinished() > 0) {
        keep(batch.wait());
    }
    return texts;
}
}  // namespace

CommandRun runCommand(const std::vector<std::string>& arguments, const CommandLimits& limits) {
    CommandBatch batch(limits);
    batch.start(0, arguments);
    return batch.wait().front().second;
}

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
    const std::vector<std::string> texts = sectionTexts(table, limits);
    cleanUpSystemCommands();
    std::string text;
    for (std::size_t number = 0; number < table.size(); ++number) {
        text += sectionHeader(table[number].title) + "\n" + texts[number] + "\n";
    }
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
