#include "host/devices/win/WinDriveScan.h"

#include <algorithm>
#include <optional>

#include "drivekit/core/logging/Log.h"
#include "host/devices/win/StorageLayouts.h"
#include "host/devices/win/SystemErrorStatus.h"

namespace host::win_drives {

namespace core = drivekit::core;

namespace {

// The longest device descriptor read: its fixed part and the four names.
constexpr std::size_t descriptorBytes = 1024;

bool missing(uint32_t systemError) {
    return systemError == system_errors::fileNotFound || systemError == system_errors::pathNotFound ||
           systemError == system_errors::noSuchDevice;
}

// The disk as the list shows it, or nothing for a bus this program leaves out.
std::optional<FoundDisk> classify(uint32_t number, const DeviceDescriptor& descriptor) {
    FoundDisk disk;
    disk.number = number;
    disk.path = physicalDrivePath(number);
    disk.descriptor = descriptor;
    switch (descriptor.busType) {
        case bus_types::nvme:
            disk.attachment = "nvme";
            break;
        case bus_types::sata:
        case bus_types::ata:
            disk.kind = FoundDisk::Kind::sata;
            disk.attachment = descriptor.busType == bus_types::sata ? "sata" : "ata";
            break;
        case bus_types::usb:
            disk.kind = FoundDisk::Kind::sata;
            disk.unsupported = "not supported (USB bridge)";
            disk.attachment = "usb, " + disk.unsupported;
            break;
        default: return std::nullopt;
    }
    return disk;
}

std::optional<FoundDisk> describe(uint32_t number, IoControl& io) {
    const IoAnswer answer = io.call(control_codes::storageQueryProperty, deviceDescriptorQuery(), descriptorBytes);
    DeviceDescriptor descriptor;
    const core::Status status = answer.systemError != 0
                                    ? systemErrorStatus(answer.systemError, io.path(), "reading its device descriptor")
                                    : decodeDeviceDescriptor(answer.output, descriptor);
    if (!status.isSuccess()) {
        LOG_WARNING(io.path() << " is left out: " << status.message());
        return std::nullopt;
    }
    auto disk = classify(number, descriptor);
    if (!disk) {
        LOG_INFO(io.path() << " is left out: bus type " << descriptor.busType << " (" << descriptor.model << ")");
    }
    return disk;
}

}  // namespace

std::string physicalDrivePath(uint32_t number) { return R"(\\.\PhysicalDrive)" + std::to_string(number); }

std::vector<FoundDisk> scanDisks(const DiskOpener& open, uint32_t limit, uint32_t missingRun) {
    std::vector<FoundDisk> disks;
    uint32_t missed = 0;
    for (uint32_t number = 0; number < limit && missed < missingRun; ++number) {
        const std::string path = physicalDrivePath(number);
        uint32_t systemError = 0;
        const auto io = open(path, Access::query, systemError);
        if (!io) {
            missed = missing(systemError) ? missed + 1 : 0;
            if (!missing(systemError)) {
                LOG_WARNING(path << " is left out: "
                                 << systemErrorStatus(systemError, path, "opening it to list it").message());
            }
            continue;
        }
        missed = 0;
        if (auto disk = describe(number, *io)) {
            disks.push_back(std::move(*disk));
        }
    }
    // NVMe first; each group keeps the numbers' order.
    std::stable_sort(disks.begin(), disks.end(), [](const FoundDisk& a, const FoundDisk& b) {
        return a.kind == FoundDisk::Kind::nvme && b.kind != FoundDisk::Kind::nvme;
    });
    return disks;
}

}  // namespace host::win_drives
