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
    const char* base = file ? std::strrchr(file, '/') : nullptr;
    const char* name = base ? base + 1 : (file ? file : "");
    std::string message(name);
    message += '(';
    message += std::to_string(line);
    message += ") ";
    message += function ? function : "";
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
