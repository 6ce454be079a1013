#pragma once
// The sentences a system command's section ends with when it did not end well, the same on
// every platform where the situation is the same.
#include <chrono>
#include <string>

#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

namespace plugin::cli::debug_logs {

// How a command's output stopped: at its end, at the time limit, at the output limit, or because
// the run was asked to stop (Ctrl-C and the like).
enum class OutputStop { end, time, size, request };

// How long a killed command is waited for: one stuck in the kernel may not end at once.
constexpr std::chrono::milliseconds killGrace{2000};

// "Command could not be started: <reason>."
std::string notStartedText(const std::string& reason);

// For a command that ended by itself with the given exit status; empty for 0.
std::string exitStatusText(unsigned long exitStatus);

// For a command that was never started because the run was asked to stop.
std::string notRunText();

// For a command stopped at a limit or at a stop request (stop is not end); ended: whether it was seen to end
// within the grace after the kill.
std::string stoppedText(OutputStop stop, const CommandLimits& limits, bool ended);

}  // namespace plugin::cli::debug_logs
