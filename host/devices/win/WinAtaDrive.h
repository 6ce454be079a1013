#pragma once
// A SATA disk on Windows, reached with the storage driver's ATA pass-through: the registers that
// come back decide the outcome, as on every platform, and are the command's protocol result.
#include <string>

#include "host/devices/AtaDisk.h"
#include "host/devices/win/WinDrive.h"

namespace host::win_drives {

class WinAtaDrive : public WinDrive, public devices::AtaDisk {
public:
    using WinDrive::WinDrive;

    bool isProtocolSupported(const std::string& protocol) const override { return speaks(protocol); }

protected:
    drivekit::core::CommandResult execute(drivekit::core::Command& command,
                                          const drivekit::core::Payload* data) override;
};

}  // namespace host::win_drives
