#pragma once
// The drives of this machine as the host lists and selects them: each is listed from sysfs
// and opened (device node, then Identify) only when a command selects it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "host/devices/OpenOutcome.h"
#include "host/devices/linux/LinuxDriveScan.h"

namespace host::linux_drives {

using OpenOutcome = host::OpenOutcome;

struct LinuxDrive {
    std::shared_ptr<drivekit::core::Device> device;
    std::string path;
    std::function<OpenOutcome()> open;
    // What sysfs showed: the attachment, why the drive is not read, whether an index picks it.
    FoundDrive found{};
};

// root, devRoot: see scanDrives.
std::vector<LinuxDrive> findLinuxDrives(const std::string& root = "/sys", const std::string& devRoot = "/dev");

}  // namespace host::linux_drives
