#include "drivekit/core/win/WindowsSystem.h"

// clang-format off
#include <windows.h>
#include <cfgmgr32.h>
// clang-format on

#include <cstdlib>

#include "drivekit/core/Payload.h"
#include "drivekit/core/logging/Log.h"

// MSVC links these two through the pragmas; mingw-w64 names them on its link line
// (-lcfgmgr32 -lversion).
#ifdef _MSC_VER
#pragma comment(lib, "cfgmgr32.lib")
#pragma comment(lib, "version.lib")
#endif

namespace drivekit::core {

std::shared_ptr<System> System::create() { return std::make_shared<win::WindowsSystem>(); }

namespace win {

namespace {

constexpr REGSAM readAccess = 0x20019;  // KEY_READ
const char* const winPeKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\WinPE\\";

std::string kernel32Path() {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::string(folder, length) + "\\kernel32.dll";
}

// "a.b.c.d" from the product version of the file's fixed version information.
std::string productVersion(const std::string& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) {
        return {};
    }
    Payload block(size);
    if (block.empty() || !GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return {};
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoLength = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&info), &infoLength) ||
        info == nullptr || infoLength < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    return std::to_string(HIWORD(info->dwProductVersionMS)) + "." +
           std::to_string(LOWORD(info->dwProductVersionMS)) + "." +
           std::to_string(HIWORD(info->dwProductVersionLS)) + "." +
           std::to_string(LOWORD(info->dwProductVersionLS));
}

}  // namespace

Status WindowsSystem::rescan() {
    DEVINST root = 0;
    if (CM_Locate_DevNode_ExA(&root, nullptr, 0, nullptr) == CR_SUCCESS &&
        CM_Reenumerate_DevNode_Ex(root, 0, nullptr) == CR_SUCCESS) {
        return Status::success();
    }
    LOG_ERROR("Re-enumerating the device tree failed");
    return Status::rescanFailed();
}

std::string WindowsSystem::operatingSystemKind() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, winPeKey, 0, readAccess, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return "WindowsPE";
    }
    return "Windows";
}

std::string WindowsSystem::distributionDetails(std::string& name, std::string& version) {
    name.clear();
    version.clear();
    return {};
}

std::string WindowsSystem::getVersion() {
    static std::string version;
    if (!version.empty()) {
        return version;
    }
    const std::string path = kernel32Path();
    version = path.empty() ? std::string() : productVersion(path);
    LOG_INFO("Kernel Version = " << version);
    return version;
}

std::string addModuleFolderToLibrarySearch() {
    HMODULE module = nullptr;
    char fileName[MAX_PATH] = {};
    SetLastError(0);
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&addModuleFolderToLibrarySearch), &module) ||
        GetModuleFileNameA(module, fileName, MAX_PATH) == 0 || GetLastError() != 0) {
        return {};
    }
    char drive[_MAX_DRIVE] = {};
    char folder[_MAX_DIR] = {};
    if (_splitpath_s(fileName, drive, sizeof(drive), folder, sizeof(folder), nullptr, 0, nullptr, 0) != 0) {
        return {};
    }
    const std::string path = std::string(drive) + folder;
    SetDllDirectoryA(path.c_str());
    return path;
}

namespace {
// Runs while the library is being loaded, before anything it loads later is looked for.
const std::string moduleFolder = addModuleFolderToLibrarySearch();
}  // namespace

}  // namespace win
}  // namespace drivekit::core
