#pragma once
// An NVMe disk on Windows, reached through its storage driver: Identify, Get Log Page and Get
// Features as protocol-specific property queries, Set Features as a property set, every other
// admin command (the maker's own) as a protocol command. Each request goes through the
// DeviceIoControl seam.
#include <string>

#include "drivekit/commands/nvme/Command.h"
#include "host/devices/win/WinDrive.h"

namespace host::win_drives {

class WinNvmeDrive : public WinDrive {
public:
    using WinDrive::WinDrive;

    bool isProtocolSupported(const std::string& protocol) const override;

protected:
    drivekit::core::CommandResult execute(drivekit::core::Command& command,
                                          const drivekit::core::Payload* data) override;
};

}  // namespace host::win_drives
