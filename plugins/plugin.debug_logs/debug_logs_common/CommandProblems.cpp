#include "plugins/plugin.debug_logs/debug_logs_common/CommandProblems.h"

namespace plugin::cli::debug_logs {

namespace {
std::string durationText(std::chrono::milliseconds duration) {
    const auto count = duration.count();
    return count % 1000 == 0 ? std::to_string(count / 1000) + " s" : std::to_string(count) + " ms";
}
}  // namespace

std::string notStartedText(const std::string& reason) { return "Command could not be started: " + reason + "."; }

std::string exitStatusText(unsigned long exitStatus) {
    return exitStatus == 0 ? std::string() : "Command failed with exit status " + std::to_string(exitStatus) + ".";
}

std::string notRunText() { return "Command not run: the run was asked to stop."; }

std::string stoppedText(OutputStop stop, const CommandLimits& limits, bool ended) {
    std::string text = "Command stopped: no end within " + durationText(limits.time) + ".";
    if (stop == OutputStop::size) {
        text = "Output cut at " + std::to_string(limits.outputBytes) + " bytes; command stopped.";
    } else if (stop == OutputStop::request) {
        text = "Command stopped: the run was asked to stop.";
    }
    if (!ended) {
        text += " It had not ended " + durationText(killGrace) + " after it was killed.";
    }
    return text;
}

}  // namespace plugin::cli::debug_logs
