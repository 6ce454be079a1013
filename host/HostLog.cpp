#include "host/HostLog.h"

#include <cstdio>
#include <ctime>
#include <sys/time.h>

namespace host {

HostLog::~HostLog() { close(); }

drivekit::core::Status HostLog::open(const std::string& path) {
    close();
    file_.open(path, std::ios::out | std::ios::app);
    if (!file_.is_open()) {
        auto status = drivekit::core::Status::unableToCreateFile();
        status.setMessage("Cannot open the host log file: " + path);
        return status;
    }
    drivekit::core::logging::setSink(
        [this](drivekit::core::logging::Severity severity, const std::string& message) {
            write(severity, message);
        });
    return drivekit::core::Status::success();
}

void HostLog::close() {
    drivekit::core::logging::setSink({});
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_.is_open()) {
        file_.close();
    }
}

std::string HostLog::formatLine(drivekit::core::logging::Severity severity,
                                const std::string& message) {
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    const std::time_t seconds = now.tv_sec;
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char stamp[32];
    std::snprintf(stamp, sizeof(stamp), "%02d:%02d:%02d:%06ld", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<long>(now.tv_usec));
    return std::string(stamp) + " [" + drivekit::core::logging::severityName(severity) + "] " +
           message;
}

void HostLog::write(drivekit::core::logging::Severity severity, const std::string& message) {
    const std::string line = formatLine(severity, message);
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_.is_open()) {
        file_ << line << '\n';
        file_.flush();
    }
}

}  // namespace host
