#pragma once
// Programs of the system folder, started by their full path: a program of the same name planted
// in the caller's search path or current folder must not run in their place. Beside it, what the
// Windows pieces share: text from the system's calls, and between the ANSI code page and UTF-16.
#include <windows.h>

#include <string>
#include <vector>

namespace plugin::cli::debug_logs::platform {

// The system folder (System32); empty, with problem set, when the system does not say.
std::wstring systemFolder(std::string& problem);

// The system's sentence for an error number, without its final period and line break.
std::string errorText(DWORD error);

// Text of the ANSI code page (the narrow text of paths and command lines) as UTF-16, and back.
std::wstring widened(const std::string& text);
std::string narrowed(const std::wstring& text);

// The text a call such as GetSystemDirectoryW writes: fetch(buffer, size) returns the length
// written, the size needed when the buffer is too small, or 0 on failure. Tries 260 characters,
// then the size asked for until it fits; false on failure.
template <typename Fetch>
bool systemText(Fetch fetch, std::wstring& text) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const auto length = static_cast<std::size_t>(fetch(buffer.data(), static_cast<DWORD>(buffer.size())));
        if (length == 0) {
            return false;
        }
        if (length < buffer.size()) {
            text.assign(buffer.data(), length);
            return true;
        }
        buffer.resize(length);  // the size needed, terminator included
    }
}

}  // namespace plugin::cli::debug_logs::platform
