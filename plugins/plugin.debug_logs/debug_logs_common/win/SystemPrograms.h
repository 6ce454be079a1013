#pragma once
// Programs of the system folder, started by their full path: a program of the same name planted
// in the caller's search path or current folder must not run in their place.
#include <windows.h>

#include <string>

namespace plugin::cli::debug_logs::platform {

// The system folder (System32); empty, with problem set, when the system does not say.
std::wstring systemFolder(std::string& problem);

// The system's sentence for an error number, without its final period and line break.
std::string errorText(DWORD error);

// Text of the ANSI code page (the narrow text of paths and command lines) as UTF-16.
std::wstring widened(const std::string& text);

}  // namespace plugin::cli::debug_logs::platform
