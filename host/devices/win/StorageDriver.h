#pragma once
// The storage driver a disk's commands go through: the driver of the storage controller the
// disk hangs on (the NVMe controller's stornvme or its maker's driver, the AHCI controller's
// storahci), whose provider and version the collectors read ("Microsoft", "10.0.26100.1882"
// decides whether the telemetry's data area 4 can be read).
#include <cstdint>
#include <string>

#include "host/devices/win/DeviceTree.h"

namespace host::win_drives {

struct StorageDriver {
    std::string provider;
    std::string version;
};

// The nearest storage controller above the disk (a node of the SCSIAdapter or HDC setup class),
// at most a few levels up. Empty provider and version when the disk, the controller or its
// driver's properties cannot be found: then no rule about the driver applies.
StorageDriver storageDriverOf(DeviceTree& tree, uint32_t diskNumber);

}  // namespace host::win_drives
