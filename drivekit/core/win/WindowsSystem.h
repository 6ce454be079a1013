#pragma once
// System services on Windows: device-tree re-enumeration, WinPE detection and the kernel
// version from kernel32.dll's version resource.
#include "drivekit/core/System.h"

namespace drivekit::core::win {

class WindowsSystem : public System {
public:
    Status rescan() override;
    std::string operatingSystemKind() override;
    // Windows has no distribution: both outputs and the result are empty.
    std::string distributionDetails(std::string& name, std::string& version) override;
    std::string getVersion() override;
    bool query(const std::string&) override { return false; }
};

// Makes the folder of the module holding this code a search folder for libraries loaded
// later; returns that folder, or empty text when it cannot be found.
std::string addModuleFolderToLibrarySearch();

}  // namespace drivekit::core::win
