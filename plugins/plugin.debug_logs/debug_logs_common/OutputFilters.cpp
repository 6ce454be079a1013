#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"

#include <boost/algorithm/string/case_conv.hpp>
#include <cctype>
#include <sstream>
#include <vector>

namespace plugin::cli::debug_logs {

namespace {
// Lines without their line ends; a text that ends with a line end has no empty last line.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The variable name when the line starts a variable ("NAME=..."), else empty.
std::string variableName(const std::string& line) {
    const auto equals = line.find('=');
    if (equals == std::string::npos || equals == 0) {
        return {};
    }
    for (std::size_t i = 0; i < equals; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (!(std::isalnum(c) || c == '_') || (i == 0 && std::isdigit(c))) {
            return {};
        }
    }
    return line.substr(0, equals);
}

bool isSecretName(const std::string& name) {
    static const char* const markers[] = {"KEY", "TOKEN", "SECRET", "PASS", "CREDENTIAL"};
    const std::string upper = boost::algorithm::to_upper_copy(name);
    for (const char* marker : markers) {
        if (upper.find(marker) != std::string::npos) {
            return true;
        }
    }
    return false;
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

std::string redactSecrets(const std::string& environment, const std::vector<std::string>& knownEntries) {
    std::string text = environment;
    for (const std::string& entry : knownEntries) {
        const std::string name = variableName(entry);
        if (name.empty() || !isSecretName(name) || entry.find('\n') == std::string::npos) {
            continue;
        }
        for (auto at = text.find(entry); at != std::string::npos; at = text.find(entry, at)) {
            text.replace(at, entry.size(), name + "=<redacted>");
        }
    }
    std::string result;
    bool inSecret = false;
    for (const std::string& line : splitLines(text)) {
        const std::string name = variableName(line);
        if (!name.empty()) {
            inSecret = isSecretName(name);
            result += inSecret ? name + "=<redacted>\n" : line + "\n";
        } else if (!inSecret) {
            result += line + "\n";
        }
    }
    return result;
}

}  // namespace plugin::cli::debug_logs
