#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"

#include <boost/algorithm/string/case_conv.hpp>
#include <cctype>
#include <set>
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

// The names of the "NAME=value" entries. A process may hold names that are not identifiers
// ("npm_config_//host/:_authToken"); some shells pass them on to the commands they run.
std::set<std::string> namesOf(const std::vector<std::string>& entries) {
    std::set<std::string> names;
    for (const std::string& entry : entries) {
        const auto equals = entry.find('=');
        if (equals != std::string::npos && equals > 0) {
            names.insert(entry.substr(0, equals));
        }
    }
    return names;
}

// The variable name when the line starts a variable ("NAME=..." with an identifier or a name
// the process holds), else empty.
std::string variableName(const std::string& line, const std::set<std::string>& knownNames) {
    const auto equals = line.find('=');
    if (equals == std::string::npos || equals == 0) {
        return {};
    }
    if (knownNames.count(line.substr(0, equals)) != 0) {
        return line.substr(0, equals);
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
    const std::set<std::string> knownNames = namesOf(knownEntries);
    for (const std::string& entry : knownEntries) {
        const std::string name = variableName(entry, knownNames);
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
        const std::string name = variableName(line, knownNames);
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
