#pragma once
// System services on Linux: PCI rescan through sysfs, distribution details from
// os-release, the kernel release from uname.
#include <functional>
#include <string>
#include <vector>

#include "drivekit/core/System.h"

namespace drivekit::core::posix {

class LinuxSystem : public System {
public:
    struct Paths {
        // Tried in order; the first that opens is read.
        std::vector<std::string> osRelease{"/etc/os-release", "/usr/lib/os-release"};
        std::string pciRescan = "/sys/bus/pci/rescan";
    };
    using ReleaseSource = std::function<std::string()>;

    LinuxSystem();
    // For tests: other files, and another source of the kernel release than uname.
    LinuxSystem(Paths paths, ReleaseSource kernelRelease);

    Status rescan() override;
    std::string operatingSystemKind() override { return "Linux"; }
    std::string distributionDetails(std::string& name, std::string& version) override;
    std::string getVersion() override;
    bool query(const std::string&) override { return false; }

    // The value of one os-release line "KEY=VALUE" with its quoting removed; false for a
    // blank line, a comment or a line without "=".
    static bool parseOsReleaseLine(const std::string& line, std::string& key, std::string& value);

private:
    Paths paths_;
    ReleaseSource kernelRelease_;
    std::string version_;
};

}  // namespace drivekit::core::posix
