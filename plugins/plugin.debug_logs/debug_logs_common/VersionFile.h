#pragma once
#include <string>

#include "drivekit/core/Status.h"

namespace plugin::cli::debug_logs {

// Writes "version.txt" into the output folder: the plug-in's version, a carriage return and
// a line feed, then the local date and time (no final line end). 10/104 "Unable to create
// file." when it cannot be written.
drivekit::core::Status createVersionFile(drivekit::core::Status& status, const std::string& outputPath);

}  // namespace plugin::cli::debug_logs
