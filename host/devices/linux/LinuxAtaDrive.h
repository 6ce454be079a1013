#pragma once
// A SATA disk behind libata (/dev/sdX), reached with SG_IO and ATA PASS-THROUGH (16). The
// ATA registers that come back in the sense data decide the outcome; they are also the
// command's protocol result.
#include <algorithm>
#include <string>

#include "host/devices/linux/PassThroughDrive.h"

namespace host::linux_drives {

class LinuxAtaDrive : public PassThroughDrive {
public:
    using PassThroughDrive::PassThroughDrive;

    // Whether SMART commands take the separate "SMART" path (IDENTIFY DEVICE says SMART is
    // supported).
    void setSmartSupported(bool supported) { smartSupported_ = supported; }
    // The disk's logical sector size (4096 on a 4Kn disk): what one sector of a read or write
    // of the medium moves. Values below 512 are taken as 512.
    void setLogicalSectorBytes(uint32_t bytes) { logicalSectorBytes_ = std::max(bytes, sectorSize); }

    bool isProtocolSupported(const std::string& protocol) const override;

    // The unit of IDENTIFY, SMART and log transfers, and the logical sector of most disks.
    static constexpr uint32_t sectorSize = 512;

protected:
    drivekit::core::CommandResult execute(drivekit::core::Command& command,
                                          const drivekit::core::Payload* data) override;

private:
    bool smartSupported_ = false;
    uint32_t logicalSectorBytes_ = sectorSize;
};

}  // namespace host::linux_drives
