#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"

namespace plugin::cli::debug_logs {

namespace {
std::string oneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        line += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return line;
}
}  // namespace

std::string lastLines(const std::string& text, std::size_t count) {
    if (count == 0) {
        return {};
    }
    // Walk back over count line ends, not counting the one that closes the text.
    std::size_t position = text.size();
    if (position > 0 && text[position - 1] == '\n') {
        --position;
    }
    for (std::size_t seen = 0; position > 0; --position) {
        if (text[position - 1] == '\n' && ++seen == count) {
            return text.substr(position);
        }
    }
    return text;
}

std::string maskedEnvironment(const std::vector<std::string>& entries, const std::set<std::string>& shownNames) {
    std::string text;
    for (const std::string& entry : entries) {
        const auto equals = entry.find('=');
        const std::string name = entry.substr(0, equals);
        const bool shown = equals != std::string::npos && shownNames.count(name) != 0;
        text += oneLine(name) + "=" + (shown ? oneLine(entry.substr(equals + 1)) : "<redacted>") + "\n";
    }
    return text;
}

}  // namespace plugin::cli::debug_logs
