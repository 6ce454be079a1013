#pragma once
// The drives of this Windows machine as the host lists and selects them: each is listed from
// its device descriptor and opened for reading and writing (then Identify) only when a command
// selects it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "host/devices/OpenOutcome.h"
#include "host/devices/win/DeviceTree.h"
#include "host/devices/win/WinDriveScan.h"

namespace host::win_drives {

struct WinDriveEntry {
    std::shared_ptr<drivekit::core::Device> device;
    std::string path;
    std::function<OpenOutcome()> open;
    FoundDisk found;
};

// open reaches the disks, tree their storage drivers (read when a drive is opened).
std::vector<WinDriveEntry> findWinDrives(const DiskOpener& open, std::shared_ptr<DeviceTree> tree);

}  // namespace host::win_drives
