#pragma once
#include <string>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"

namespace plugin::cli::debug_logs::utils {

// Writes one log's payload to filePath, whole or not at all, and tells the user how it went:
// "generated" only once the file is whole. status is the caller's status of the step; its
// message is logged when the write fails. The caller keeps its own status; true when the file
// was written.
bool SaveLogToFile(const std::string& filePath, const drivekit::core::Payload& payload,
                   const std::string& logName, const drivekit::core::Status& status);

}  // namespace plugin::cli::debug_logs::utils
