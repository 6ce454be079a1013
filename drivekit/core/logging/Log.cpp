#include "drivekit/core/logging/Log.h"

#include <cstring>

namespace drivekit::core::logging {

namespace {
Sink& installedSink() {
    static Sink sink;
    return sink;
}
}  // namespace

const char* severityName(Severity severity) {
    static const char* const names[] = {"trace", "debug", "info", "warning", "error", "fatal"};
    const auto index = static_cast<unsigned>(severity);
    return index < sizeof(names) / sizeof(names[0]) ? names[index] : "unknown";
}

std::string formatMessage(const char* file, int line, const char* function, const std::string& text) {
    // Only the file's own name: sources built on Windows carry backslashes in __FILE__.
    const char* name = file ? file : "";
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == '/' || *c == '\\') {
            name = c + 1;
        }
    }
    std::string message(name);
    message += '(';
    message += std::to_string(line);
    message += ") ";
    // Some compilers qualify function names; the record carries the unqualified one.
    const char* colon = function ? std::strrchr(function, ':') : nullptr;
    message += colon ? colon + 1 : (function ? function : "");
    message += ": ";
    message += text;
    return message;
}

void setSink(Sink sink) { installedSink() = std::move(sink); }

bool isEnabled() { return static_cast<bool>(installedSink()); }

void write(Severity severity, const std::string& message) {
    if (auto& sink = installedSink()) {
        sink(severity, message);
    }
}

}  // namespace drivekit::core::logging
