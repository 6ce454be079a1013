#pragma once
// The two low-level writers of the package's files. They report failure by returning false
// (and, through WholeFile, to the run); they neither throw nor log.
#include <string>

#include "drivekit/core/Payload.h"

namespace plugin::cli::debug_logs {

// The file name inside the folder, the folder made absolute (kept as given when the current
// directory cannot be read).
std::string filePathIn(const std::string& folder, const std::string& fileName);

// Writes the text with the platform's line ends, appending or replacing, whole or not at all:
// a failed write leaves the file as it was (a file it would have made is not left behind).
// True when every byte reached the file.
bool writeTextFile(const std::string& path, const std::string& content, bool append);

// Replaces the file with the payload's bytes, whole or not at all (the file is left as it was
// when the write fails). An empty payload replaces the file with an empty one and returns false.
bool writeBinaryFile(const std::string& path, const drivekit::core::Payload& payload);

}  // namespace plugin::cli::debug_logs
