#include "host/devices/linux/LinuxDriveProbe.h"

#include "host/devices/DriveProbe.h"

namespace host::linux_drives {

namespace core = drivekit::core;

namespace {

// What sysfs says of the drive, as the probe takes it.
devices::PlatformFacts platformFacts(const FoundDrive& found, const std::string& connection) {
    devices::PlatformFacts facts;
    facts.connection = connection;
    facts.driverProvider = "Linux";
    facts.driverVersion = found.driverVersion;
    facts.namespaceId = found.namespaceId;
    facts.maxTransferBytes = found.kernelMaxTransferBytes;
    facts.logicalSectorBytes = found.logicalSectorBytes;
    return facts;
}

}  // namespace

core::Status probeNvme(LinuxNvmeDrive& drive, const FoundDrive& found) {
    return devices::probeNvme(drive, drive.path(), platformFacts(found, "Linux NVMe"));
}

core::Status probeSata(LinuxAtaDrive& drive, const FoundDrive& found) {
    return devices::probeSata(drive, drive, drive.path(), platformFacts(found, "Linux SATA"));
}

}  // namespace host::linux_drives
