#include "host/devices/linux/LinuxDrives.h"

#include "drivekit/core/DeviceAttributes.h"
#include "host/devices/linux/LinuxDriveProbe.h"

namespace host::linux_drives {

namespace core = drivekit::core;

namespace {

void writeListing(core::Device& device, const FoundDrive& found) {
    device.attributes.writeString(core::attributes::serialNumber(), found.serialNumber);
    device.attributes.writeString(core::attributes::modelNumber(), found.modelNumber);
    device.attributes.writeString(core::attributes::firmware(), found.firmware);
}

template <typename Drive, typename Probe>
LinuxDrive makeEntry(const FoundDrive& found, Probe probe) {
    auto drive = std::make_shared<Drive>(found.path);
    writeListing(*drive, found);
    auto open = [drive, found, probe]() -> OpenOutcome {
        if (drive->attached()) {
            return {};
        }
        core::Status status;
        auto passThrough = openPassThrough(found.path, status);
        if (passThrough) {
            drive->attach(std::move(passThrough));
            drive->setTimeoutFloorSeconds(found.adminTimeoutSeconds);
            status = probe(*drive, found);
        }
        return {status, status == core::Status::accessRefused()};
    };
    return {drive, found.path, open};
}

// A drive this program lists but never opens: opening it only says why.
LinuxDrive listedOnly(const FoundDrive& found) {
    auto drive = std::make_shared<LinuxAtaDrive>(found.path);
    writeListing(*drive, found);
    return {drive, found.path, devices::unsupportedOpen(found.path, found.unsupported)};
}

}  // namespace

std::vector<LinuxDrive> findLinuxDrives(const std::string& root, const std::string& devRoot) {
    std::vector<LinuxDrive> drives;
    for (const FoundDrive& found : scanDrives(root, devRoot)) {
        if (!found.unsupported.empty()) {
            drives.push_back(listedOnly(found));
        } else if (found.kind == FoundDrive::Kind::nvme) {
            drives.push_back(makeEntry<LinuxNvmeDrive>(found, probeNvme));
        } else {
            drives.push_back(makeEntry<LinuxAtaDrive>(found, probeSata));
        }
        drives.back().found = found;
    }
    return drives;
}

}  // namespace host::linux_drives
