#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

#include <algorithm>
#include <numeric>

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
// gain is lost in the programs' own start-up competing for those cores. With the slowest started
// first, two to six at once take the same time on such a machine: their start-ups keep both
// cores busy.
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

// The progress of the table's commands in the table's order, whatever order they start in: each
// is shown once every command before it has started or was passed over after a stop request.
class Progress {
public:
    explicit Progress(const std::vector<SystemCommand>& table) : table_(table), state_(table.size(), waiting) {}

    void started(std::size_t number) { settle(number, shown); }
    void notRun(std::size_t number) { settle(number, hidden); }

private:
    enum State { waiting, shown, hidden };

    void settle(std::size_t number, State state) {
        state_[number] = state;
        for (; next_ < table_.size() && state_[next_] != waiting; ++next_) {
            if (state_[next_] == shown) {
                showProgress(table_[next_]);
            }
        }
    }

    const std::vector<SystemCommand>& table_;
    std::vector<State> state_;
    std::size_t next_ = 0;
};

// Every section's text, in the table's order; the commands run up to commandsAtOnce at a time,
// started in the start order. After a stop request nothing more is started.
std::vector<std::string> sectionTexts(const std::vector<SystemCommand>& table, const CommandLimits& limits) {
    std::vector<std::string> texts(table.size());
    Progress progress(table);
    CommandBatch batch(limits);
    const auto keep = [&](std::vector<CommandBatch::Finished> finished) {
        for (const auto& [number, run] : finished) {
            texts[number] = sectionText(table[number], run);
        }
    };
    for (const std::size_t number : startOrder(table)) {
        while (batch.unfinished() >= commandsAtOnce) {
            keep(batch.wait());
        }
        if (drivekit::core::StopRequest::requested()) {
            texts[number] = notRunText() + "\n";
            progress.notRun(number);
            continue;
        }
        progress.started(number);
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

std::vector<std::size_t> startOrder(const std::vector<SystemCommand>& table) {
    const std::vector<std::string>& slowest = slowestProgramsFirst();
    const auto rank = [&](std::size_t number) {
        const std::vector<std::string>& arguments = table[number].arguments;
        return arguments.empty() ? slowest.size()
                                 : static_cast<std::size_t>(std::find(slowest.begin(), slowest.end(),
                                                                      arguments.front()) - slowest.begin());
    };
    std::vector<std::size_t> order(table.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
    return order;
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
