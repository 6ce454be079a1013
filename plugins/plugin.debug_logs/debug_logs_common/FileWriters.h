#pragma once
// The two low-level writers of the package's files. They report failure only by returning
// false; they neither throw nor log.
#include <string>

#include "drivekit/core/Payload.h"

namespace plugin::cli::debug_logs {

// The file name inside the folder, the folder made absolute (kept as given when the current
// directory cannot be read).
std::string filePathIn(const std::string& folder, const std::string& fileName);

// Writes the text in text mode, appending or replacing; true when the stream is still good.
bool writeTextFile(const std::string& path, const std::string& content, bool append);

// Replaces the file with the payload's bytes. The file is created (or emptied) before the
// payload is looked at, so an empty payload leaves an empty file and returns false.
bool writeBinaryFile(const std::string& path, const drivekit::core::Payload& payload);

}  // namespace plugin::cli::debug_logs
