#pragma once
#include <string>

#include "plugins/plugin.debug_logs/debug_logs_common/LocalTime.h"

namespace plugin::cli::debug_logs {

// "<serial>_<MM-DD-YYYY_hh-mm-ss-ms>". The serial number comes from the drive: asterisks are
// dropped, and "/", "\\" and control characters become "_" so that the name stays one folder
// inside the destination. The time stamp suffix keeps it from ever being "." or "..".
std::string outputFolderName(const std::string& serialNumber, const LocalTime& time);

}  // namespace plugin::cli::debug_logs
