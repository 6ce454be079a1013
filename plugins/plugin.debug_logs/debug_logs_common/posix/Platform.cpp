#include "plugins/plugin.debug_logs/debug_logs_common/Platform.h"

#include <ctime>
#include <filesystem>

#include <unistd.h>

namespace plugin::cli::debug_logs::platform {

LocalTime localTimeNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm parts{};
    localtime_r(&now.tv_sec, &parts);
    LocalTime time;
    time.year = parts.tm_year + 1900;
    time.month = parts.tm_mon + 1;
    time.day = parts.tm_mday;
    time.hour = parts.tm_hour;
    time.minute = parts.tm_min;
    time.second = parts.tm_sec;
    time.millisecond = static_cast<int>(now.tv_nsec / 1000000);
    return time;
}

std::string currentDirectory(drivekit::core::Status& status) {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error) {
        status = drivekit::core::Status::failedToCreateDirectory();
        status.setMessage("Failed to read the current directory: " + error.message());
        return {};
    }
    return current.string();
}

std::string nativeDestination(const std::string& destination) { return destination; }

std::vector<std::string> environmentEntries() {
    std::vector<std::string> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        entries.emplace_back(*entry);
    }
    return entries;
}

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace plugin::cli::debug_logs::platform
