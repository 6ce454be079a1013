#pragma once
// Trims applied to a system command's output before it goes into "system_info.log".
#include <cstddef>
#include <string>
#include <vector>

namespace plugin::cli::debug_logs {

// The last count lines of the text (all of it when it has fewer).
std::string lastLines(const std::string& text, std::size_t count);

// Output of `env` with the value of every variable whose name holds KEY, TOKEN, SECRET, PASS
// or CREDENTIAL (any letter case) replaced by "<redacted>". knownEntries are the "NAME=value"
// texts the command inherited: their names start a variable whatever characters they hold,
// and a multi-line value among them is hidden whole, whatever its later lines look like. Of any other value only its first line can be told apart, so the
// lines that follow a redacted one are dropped until the next "NAME=" line.
std::string redactSecrets(const std::string& environment, const std::vector<std::string>& knownEntries);

}  // namespace plugin::cli::debug_logs
