#pragma once
// An NVMe disk on Windows, reached through its storage driver: Identify, Get Log Page and Get
// Features as protocol-specific property queries, every other admin command (the maker's own)
// as a protocol command. Each request goes through the DeviceIoControl seam.
#include <memory>
#include <string>

#include "drivekit/commands/nvme/Command.h"
#include "drivekit/core/HostInterface.h"
#include "host/devices/VendorCommandGate.h"
#include "host/devices/win/IoControl.h"

namespace host::win_drives {

class WinNvmeDrive : public drivekit::core::Device, public devices::VendorCommandGate {
public:
    explicit WinNvmeDrive(std::unique_ptr<IoControl> io);

    bool isProtocolSupported(const std::string& protocol) const override;
    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command,
                                              const drivekit::core::Payload& data) override;
    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command) override;

private:
    drivekit::core::CommandResult checkedExecute(drivekit::core::Command& command, const drivekit::core::Payload* data);
    drivekit::core::CommandResult execute(const drivekit::commands::nvme::Command& command,
                                          const drivekit::core::Payload* data);

    std::unique_ptr<IoControl> io_;
};

}  // namespace host::win_drives
