#pragma once
// The saved-binaries record: one line per binary file a collector wrote, kept for the whole
// process and copied into every incident report.
#include <string>

namespace plugin::cli::debug_logs {

// Appends "<folder>/<fileName> was saved successfully" and a line end; a warning about the
// file, when given, follows on its own indented line.
void recordSavedBinary(const std::string& folder, const std::string& fileName, const std::string& warning = {});

// Every line recorded so far, each ending with a line end.
std::string savedBinariesRecord();

}  // namespace plugin::cli::debug_logs
