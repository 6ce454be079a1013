#pragma once
// A SATA disk behind libata (/dev/sdX), reached with SG_IO and ATA PASS-THROUGH (16). The
// ATA registers that come back in the sense data decide the outcome; they are also the
// command's protocol result.
#include <string>

#include "host/devices/AtaDisk.h"
#include "host/devices/linux/PassThroughDrive.h"

namespace host::linux_drives {

class LinuxAtaDrive : public PassThroughDrive, public devices::AtaDisk {
public:
    using PassThroughDrive::PassThroughDrive;

    bool isProtocolSupported(const std::string& protocol) const override { return speaks(protocol); }

protected:
    drivekit::core::CommandResult execute(drivekit::core::Command& command,
                                          const drivekit::core::Payload* data) override;
};

}  // namespace host::linux_drives
