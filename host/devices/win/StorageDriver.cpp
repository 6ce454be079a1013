#include "host/devices/win/StorageDriver.h"

#include <boost/algorithm/string/predicate.hpp>

#include "drivekit/core/logging/Log.h"

namespace host::win_drives {

namespace {

// Controllers sit right above their disks; a few levels allow for a bus in between (a RAID or
// port driver's own node) and keep a broken tree from being walked for ever.
constexpr int levelsUp = 4;

bool isStorageController(DeviceTree& tree, const std::string& node) {
    const std::string setupClass = tree.property(node, NodeProperty::setupClass);
    return boost::iequals(setupClass, "SCSIAdapter") || boost::iequals(setupClass, "HDC");
}

}  // namespace

StorageDriver storageDriverOf(DeviceTree& tree, uint32_t diskNumber) {
    const std::string disk = tree.diskNode(diskNumber);
    if (disk.empty()) {
        LOG_WARNING("No device node found for disk " << diskNumber << "; its storage driver is unknown");
        return {};
    }
    std::string node = tree.parentOf(disk);
    for (int level = 0; level < levelsUp && !node.empty(); ++level, node = tree.parentOf(node)) {
        if (isStorageController(tree, node)) {
            StorageDriver driver{tree.property(node, NodeProperty::driverProvider),
                                 tree.property(node, NodeProperty::driverVersion)};
            LOG_INFO("Disk " << diskNumber << " hangs on " << node << " (" << tree.property(node, NodeProperty::service)
                             << "): driver by " << driver.provider << ", version " << driver.version);
            return driver;
        }
    }
    LOG_WARNING("No storage controller found above " << disk << "; its storage driver is unknown");
    return {};
}

}  // namespace host::win_drives
