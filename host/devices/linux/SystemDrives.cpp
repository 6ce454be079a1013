// The host's drive list on Linux: the NVMe controllers and SATA disks that sysfs lists.
#include "host/DriveList.h"
#include "host/devices/linux/LinuxDrives.h"

namespace host {

void DriveList::addSystemDrives() {
    for (auto& drive : linux_drives::findLinuxDrives()) {
        add({std::move(drive.device), std::move(drive.path), std::move(drive.open),
             linux_drives::attachmentText(drive.found), drive.found.unsupported, drive.found.selectableByIndex});
    }
}

}  // namespace host
