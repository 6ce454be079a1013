#pragma once
// Finding this machine's drives as Windows numbers its disks (\\.\PhysicalDrive0, 1, ...),
// each opened with no access rights only to read its device descriptor, so that listing needs no
// administrator. NVMe disks first, then SATA disks, each group by number; USB disks are listed
// too, marked unsupported; disks on other buses (SCSI, SAS, RAID, virtual) are left out.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/devices/win/DeviceDescriptor.h"
#include "host/devices/win/IoControl.h"

namespace host::win_drives {

struct FoundDisk {
    enum class Kind { nvme, sata };
    Kind kind = Kind::nvme;
    uint32_t number = 0;
    std::string path;  // "\\.\PhysicalDrive0"
    DeviceDescriptor descriptor;
    // How the list shows the disk's bus: "nvme", "sata", "ata", "usb, not supported (USB bridge)".
    std::string attachment;
    // Why this program does not read the disk ("not supported (USB bridge)"); empty when it does.
    std::string unsupported;
};

// Opens a disk's path with the given access; null and the system's code when it cannot.
using DiskOpener = std::function<std::unique_ptr<IoControl>(const std::string& path, Access access,
                                                            uint32_t& systemError)>;

// "\\.\PhysicalDrive<number>".
std::string physicalDrivePath(uint32_t number);

// Tries the disk numbers from 0 up: stops after missingRun numbers in a row that name no disk,
// and before limit. A disk that cannot be opened or described for another reason is left out,
// and said in the log.
std::vector<FoundDisk> scanDisks(const DiskOpener& open, uint32_t limit = 256, uint32_t missingRun = 16);

}  // namespace host::win_drives
