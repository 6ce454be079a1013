#pragma once
#include <string>

namespace plugin::cli::debug_logs {

// Whether name matches pattern, where "*" stands for any run of characters (none included) and
// "?" for exactly one; every other character stands for itself. A leading "." is not special.
bool matchesNamePattern(const std::string& pattern, const std::string& name);

}  // namespace plugin::cli::debug_logs
