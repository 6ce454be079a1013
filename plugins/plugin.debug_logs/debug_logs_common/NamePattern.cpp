#include "plugins/plugin.debug_logs/debug_logs_common/NamePattern.h"

namespace plugin::cli::debug_logs {

bool matchesNamePattern(const std::string& pattern, const std::string& name) {
    // On a mismatch after a "*", that star takes one more character of the name and matching
    // goes on from there: the last star alone needs retrying, so this stays linear per star.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::string::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace plugin::cli::debug_logs
