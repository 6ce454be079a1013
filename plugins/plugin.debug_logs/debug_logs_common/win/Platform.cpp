#include "plugins/plugin.debug_logs/debug_logs_common/Platform.h"
#include "plugins/plugin.debug_logs/debug_logs_common/win/SystemPrograms.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace plugin::cli::debug_logs::platform {

LocalTime localTimeNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    LocalTime time;
    time.year = now.wYear;
    time.month = now.wMonth;
    time.day = now.wDay;
    time.hour = now.wHour;
    time.minute = now.wMinute;
    time.second = now.wSecond;
    time.millisecond = now.wMilliseconds;
    return time;
}

std::string currentDirectory(drivekit::core::Status& status) {
    std::wstring folder;
    if (!systemText([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); }, folder)) {
        status = drivekit::core::Status::failedToCreateDirectory();
        status.setMessage("Failed to read the current directory.");
        return {};
    }
    return narrowed(folder);
}

std::string nativeDestination(const std::string& destination) {
    std::string native = destination;
    std::replace(native.begin(), native.end(), '/', '\\');
    return native;
}

std::vector<std::string> environmentEntries() {
    std::vector<std::string> entries;
    for (char** entry = _environ; entry != nullptr && *entry != nullptr; ++entry) {
        entries.emplace_back(*entry);
    }
    return entries;
}

bool standardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace plugin::cli::debug_logs::platform
