#pragma once
// The few operating-system services the package needs; posix/ and win/ each implement them.
#include <string>
#include <vector>

#include "drivekit/core/Status.h"
#include "plugins/plugin.debug_logs/debug_logs_common/LocalTime.h"

namespace plugin::cli::debug_logs::platform {

LocalTime localTimeNow();

// The process's current working directory; on failure the status names the problem.
std::string currentDirectory(drivekit::core::Status& status);

// The destination as the platform's paths spell it: kept as given on Linux, "/" turned into
// "\\" on Windows.
std::string nativeDestination(const std::string& destination);

// The "NAME=value" entries of this process's environment, in their order.
std::vector<std::string> environmentEntries();

// Whether standard error is a terminal (progress lines are drawn only there).
bool standardErrorIsTerminal();

}  // namespace plugin::cli::debug_logs::platform
