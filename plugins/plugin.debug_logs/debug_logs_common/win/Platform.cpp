#include "plugins/plugin.debug_logs/debug_logs_common/Platform.h"

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

namespace {
std::string narrow(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), length,
                        nullptr, nullptr);
    return text;
}
}  // namespace

std::string currentDirectory(drivekit::core::Status& status) {
    // First try 260 characters, then the length the system asks for until it fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) {
            status = drivekit::core::Status::failedToCreateDirectory();
            status.setMessage("Failed to read the current directory.");
            return {};
        }
        if (length < buffer.size()) {
            return narrow(std::wstring(buffer.data(), length));
        }
        buffer.resize(length);
    }
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
