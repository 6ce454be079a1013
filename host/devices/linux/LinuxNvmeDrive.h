#pragma once
// An NVMe controller of this machine (/dev/nvmeN), reached through the kernel's admin
// pass-through. Every admin command goes to the drive as built, vendor opcodes included; the
// completion's dword 0 comes back as the protocol result, and an NVMe error status as a failed
// status whose message and protocol result keep its status code type and status code.
#include <string>

#include "host/devices/linux/PassThroughDrive.h"

namespace host::linux_drives {

class LinuxNvmeDrive : public PassThroughDrive {
public:
    using PassThroughDrive::PassThroughDrive;

    bool isProtocolSupported(const std::string& protocol) const override;

protected:
    drivekit::core::CommandResult execute(drivekit::core::Command& command,
                                          const drivekit::core::Payload* data) override;
};

}  // namespace host::linux_drives
