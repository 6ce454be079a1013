#pragma once
// Collects the messages the device library logs while the object lives.
#include <algorithm>
#include <string>
#include <vector>

#include "drivekit/core/logging/Log.h"

namespace features_test {

class LogCapture {
public:
    LogCapture() {
        drivekit::core::logging::setSink(
            [this](drivekit::core::logging::Severity, const std::string& message) { records_.push_back(message); });
    }
    ~LogCapture() { drivekit::core::logging::setSink({}); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The texts logged by function, in order (the part of each message after "function: ").
    std::vector<std::string> textsOf(const std::string& function) const {
        const std::string marker = ") " + function + ": ";
        std::vector<std::string> texts;
        for (const auto& record : records_) {
            const auto at = record.find(marker);
            if (at != std::string::npos) {
                texts.push_back(record.substr(at + marker.size()));
            }
        }
        return texts;
    }
    // Whether function logged exactly this text.
    bool logged(const std::string& function, const std::string& text) const {
        const auto texts = textsOf(function);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

private:
    std::vector<std::string> records_;
};

}  // namespace features_test
