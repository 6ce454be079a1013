#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"

#include <cstdint>

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

namespace {
void appendUtf8(std::string& text, uint32_t codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}
}  // namespace

std::string utf8OfWideOutput(const std::string& output) {
    if (output.size() < 2 || output.compare(0, 2, "\xFF\xFE") != 0) {
        return output;
    }
    const auto unitAt = [&output](std::size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(output[at]) | static_cast<uint8_t>(output[at + 1]) << 8);
    };
    std::string text;
    for (std::size_t at = 2; at + 1 < output.size(); at += 2) {
        uint32_t unit = unitAt(at);
        const bool high = unit >= 0xD800 && unit < 0xDC00;
        const bool pairFollows = high && at + 3 < output.size() && unitAt(at + 2) >= 0xDC00 && unitAt(at + 2) < 0xE000;
        if (pairFollows) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (unitAt(at + 2) - 0xDC00);
            at += 2;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            unit = 0xFFFD;
        }
        appendUtf8(text, unit);
    }
    return text;
}

}  // namespace plugin::cli::debug_logs
