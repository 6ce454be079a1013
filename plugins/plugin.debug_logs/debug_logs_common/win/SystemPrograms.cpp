#include "plugins/plugin.debug_logs/debug_logs_common/win/SystemPrograms.h"

namespace plugin::cli::debug_logs::platform {

std::wstring systemFolder(std::string& problem) {
    std::wstring folder;
    if (!systemText([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); }, folder)) {
        problem = "the system folder is unknown: " + errorText(GetLastError());
    }
    return folder;
}

std::string errorText(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string sentence = length == 0 ? "error " + std::to_string(error) : std::string(text, length);
    LocalFree(text);
    while (!sentence.empty() && (sentence.back() == '\n' || sentence.back() == '\r' || sentence.back() == '.' ||
                                 sentence.back() == ' ')) {
        sentence.pop_back();
    }
    return sentence;
}

std::wstring widened(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string narrowed(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace plugin::cli::debug_logs::platform
