#pragma once
// Fills an opened real drive's attributes from its Identify data and a few reads it answers:
// what the collectors ask of a drive (serial number, model, transfer size, telemetry, UUID
// list, OCP, SMART, driver) and whether it is one of the maker's. The platform says what only it
// knows: how the drive is connected, its storage driver, its namespace, its transfer limit.
#include <cstdint>
#include <string>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Status.h"
#include "host/devices/AtaDisk.h"

namespace host::devices {

struct PlatformFacts {
    std::string connection;  // "Linux NVMe", "Windows SATA"
    std::string driverProvider;
    std::string driverVersion;
    // NVMe: the namespace the drive's reads address (0: none), and the largest transfer the
    // platform takes in one command (0: unknown).
    uint32_t namespaceId = 0;
    uint64_t maxTransferBytes = 0;
    // SATA: the logical sector size the platform knows, 0 when it knows none.
    uint32_t logicalSectorBytes = 0;
    // Whether commands take the system's own NVMe path (Microsoft's storage driver interface).
    bool commandPathMicrosoft = false;
};

// Fails only when the drive does not answer Identify Controller; the other reads only add
// what they find. path names the drive in messages.
drivekit::core::Status probeNvme(drivekit::core::Device& drive, const std::string& path, const PlatformFacts& facts);
// Fails only when the drive does not answer IDENTIFY DEVICE; tells disk its SMART support and
// logical sector size.
drivekit::core::Status probeSata(drivekit::core::Device& drive, AtaDisk& disk, const std::string& path,
                                 const PlatformFacts& facts);

}  // namespace host::devices
