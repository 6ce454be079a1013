#pragma once
// Console output of a debug-logs command: the process-wide verbosity level and the print
// rule that every progress line follows.
#include <cstdint>
#include <string>

namespace plugin::cli::debug_logs {

// 0 (default), 1 ("-v") or 2 ("-vv"). Process-wide: one command runs at a time.
int verbosityLevel();
void setVerbosityLevel(int level);

// The text framed by "- " in front and " -" behind until it is at least 110 characters long.
std::string bannerText(const std::string& text);

// Writes the text and a line end to standard output. A verbose-only text needs verbosity 1 or
// more; a banner text is framed first.
void printMessage(const std::string& text, bool verboseOnly = false, bool banner = false);

// A collector's closing line: "<title> generated (<generated> of possible <generated + failed>
// logs)" with verbosity, otherwise "<title> generated (<generated> logs)" when any was generated.
void printGeneratedTotal(const std::string& title, uint32_t generated, uint32_t failed);

// Writes the text without a line end and flushes, so that progress shows at once.
void printPartial(const std::string& text);

}  // namespace plugin::cli::debug_logs
