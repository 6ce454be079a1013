#pragma once
// The host's own small logging. The host never uses Boost.Log: the plug-in carries the only
// Boost.Log core of the process, and the host's records must not reach the plug-in's file.
// HostLog becomes the sink of the host's copy of the device library, so every LOG_* record
// written by host code (or by the device library linked into the host) lands in the host's file.
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "drivekit/core/Status.h"
#include "drivekit/core/logging/Log.h"

namespace host {

class HostLog {
public:
    HostLog() = default;
    ~HostLog();
    HostLog(const HostLog&) = delete;
    HostLog& operator=(const HostLog&) = delete;

    // Opens path for appending and installs the sink. A failure to open is reported,
    // and logging then stays off.
    drivekit::core::Status open(const std::string& path);
    // Removes the sink and closes the file.
    void close();

    // One line: "%H:%M:%S:%f [severity] message" (local time, microseconds).
    static std::string formatLine(drivekit::core::logging::Severity severity,
                                  const std::string& message);

private:
    void write(drivekit::core::logging::Severity severity, const std::string& message);

    std::mutex mutex_;
    std::ofstream file_;
};

}  // namespace host
