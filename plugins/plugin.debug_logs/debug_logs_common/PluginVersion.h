#pragma once
#include <string>

namespace plugin::cli::debug_logs {

// The plug-in's version as written into "version.txt" and "system_info.log".
inline const std::string pluginVersion = "2.4.323";

}  // namespace plugin::cli::debug_logs
