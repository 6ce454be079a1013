#pragma once
// What "system_info.log" keeps of a section's text.
#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace plugin::cli::debug_logs {

// The last count lines of the text (all of it when it has fewer).
std::string lastLines(const std::string& text, std::size_t count);

// One "NAME=value" line per environment entry, in the entries' order. Only the variables named in
// shownNames keep their values; every other value becomes "<redacted>", since any variable may hold
// a password, a token or a connection string. A line end inside a name or a kept value is written
// as "\n", so that every entry stays one line.
std::string maskedEnvironment(const std::vector<std::string>& entries, const std::set<std::string>& shownNames);

// Some programs (wmic on Windows) write UTF-16, little-endian after a byte-order mark, into a pipe:
// such output becomes UTF-8, with U+FFFD for a lone surrogate and without a final odd byte; any
// other output is kept as it is.
std::string utf8OfWideOutput(const std::string& output);

}  // namespace plugin::cli::debug_logs
