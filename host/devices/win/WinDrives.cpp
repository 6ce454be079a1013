#include "host/devices/win/WinDrives.h"

#include "drivekit/core/DeviceAttributes.h"
#include "host/devices/DriveProbe.h"
#include "host/devices/OcpProbe.h"
#include "host/devices/win/StorageDriver.h"
#include "host/devices/win/SystemErrorStatus.h"
#include "host/devices/win/WinAtaDrive.h"
#include "host/devices/win/WinNvmeDrive.h"

namespace host::win_drives {

namespace core = drivekit::core;
namespace attributes = drivekit::core::attributes;

namespace {

constexpr uint8_t cnsActiveNamespaces = 0x02;

devices::PlatformFacts platformFacts(const std::string& connection, const StorageDriver& driver) {
    devices::PlatformFacts facts;
    facts.connection = connection;
    facts.driverProvider = driver.provider;
    facts.driverVersion = driver.version;
    // Every NVMe command goes through the system's own protocol interface, whoever made the
    // driver behind it.
    facts.commandPathMicrosoft = true;
    return facts;
}

// The disk's namespace: a disk is one namespace of its controller, the first it lists as active
// (0 when it lists none).
uint32_t namespaceOf(core::Device& drive) {
    core::Payload list;
    if (!devices::identifyStructure(drive, cnsActiveNamespaces, 0, list).isSuccess()) {
        return 0;
    }
    const auto* first = list.safeCast<uint32_t>(0);
    return first != nullptr ? *first : 0;
}

core::Status probeNvme(WinNvmeDrive& drive, const StorageDriver& driver) {
    devices::PlatformFacts facts = platformFacts("Windows NVMe", driver);
    facts.namespaceId = namespaceOf(drive);
    return devices::probeNvme(drive, drive.path(), facts);
}

core::Status probeSata(WinAtaDrive& drive, const StorageDriver& driver) {
    return devices::probeSata(drive, drive, drive.path(), platformFacts("Windows SATA", driver));
}

template <typename Drive, typename Probe>
WinDriveEntry makeEntry(const FoundDisk& found, const DiskOpener& opener, std::shared_ptr<DeviceTree> tree,
                        Probe probe) {
    auto drive = std::make_shared<Drive>(found.path);
    drive->attributes.writeString(attributes::serialNumber(), found.descriptor.serial);
    drive->attributes.writeString(attributes::modelNumber(), found.descriptor.model);
    drive->attributes.writeString(attributes::firmware(), found.descriptor.firmware);
    auto open = [drive, found, opener, tree, probe]() -> OpenOutcome {
        if (drive->attached()) {
            return {};
        }
        uint32_t systemError = 0;
        auto io = opener(found.path, Access::readWrite, systemError);
        core::Status status = io ? core::Status::success() : systemErrorStatus(systemError, found.path, "opening it");
        if (io) {
            drive->attach(std::move(io));
            status = probe(*drive, storageDriverOf(*tree, found.number));
        }
        return {status, status == core::Status::accessRefused()};
    };
    return {drive, found.path, open, found};
}

}  // namespace

std::vector<WinDriveEntry> findWinDrives(const DiskOpener& open, std::shared_ptr<DeviceTree> tree) {
    std::vector<WinDriveEntry> drives;
    for (const FoundDisk& found : scanDisks(open)) {
        if (!found.unsupported.empty()) {
            auto drive = std::make_shared<WinAtaDrive>(found.path);
            drives.push_back({drive, found.path, devices::unsupportedOpen(found.path, found.unsupported), found});
        } else if (found.kind == FoundDisk::Kind::nvme) {
            drives.push_back(makeEntry<WinNvmeDrive>(found, open, tree, probeNvme));
        } else {
            drives.push_back(makeEntry<WinAtaDrive>(found, open, tree, probeSata));
        }
    }
    return drives;
}

}  // namespace host::win_drives
