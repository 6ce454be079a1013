// The host's drive list on Windows: the NVMe and SATA disks \\.\PhysicalDriveN names.
#include "host/DriveList.h"
#include "host/devices/win/WinDrives.h"

namespace host {

void DriveList::addSystemDrives() {
    for (auto& drive : win_drives::findWinDrives(win_drives::openIoControl, win_drives::systemDeviceTree())) {
        add({std::move(drive.device), std::move(drive.path), std::move(drive.open), drive.found.attachment,
             drive.found.unsupported, true});
    }
}

}  // namespace host
