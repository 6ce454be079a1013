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

// Replaces the file with the payload's bytes, whole or not at all (the file is left as it was
// when the write fails). An empty payload replaces the file with an empty one and returns false.
bool writeBinaryFile(const std::string& path, const drivekit::core::Payload& payload);

}  // namespace plugin::cli::debug_logs
