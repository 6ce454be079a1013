#pragma once
// An NVMe controller of this machine (/dev/nvmeN), reached through the kernel's admin
// pass-through. Every admin command goes to the drive as built, vendor opcodes included; the
// completion's dword 0 comes back as the protocol result, and an NVMe error status as a failed
// status whose message and protocol result keep its status code type and status code.
#include <memory>
#include <string>

#include "drivekit/core/HostInterface.h"
#include "host/devices/linux/PassThrough.h"

namespace host::linux_drives {

class LinuxNvmeDrive : public drivekit::core::Device {
public:
    // The drive as sysfs lists it; commands fail with "not opened" until attach().
    explicit LinuxNvmeDrive(std::string path);

    void attach(std::unique_ptr<PassThrough> passThrough) { passThrough_ = std::move(passThrough); }
    bool attached() const { return passThrough_ != nullptr; }
    const std::string& path() const { return path_; }

    bool isProtocolSupported(const std::string& protocol) const override;
    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command,
                                              const drivekit::core::Payload& data) override;
    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command) override;

private:
    drivekit::core::CommandResult execute(drivekit::core::Command& command, const drivekit::core::Payload* data);

    std::string path_;
    std::unique_ptr<PassThrough> passThrough_;
};

// "not opened" / wrong protocol answers shared with the SATA drive.
drivekit::core::Status notOpened(const std::string& path);

}  // namespace host::linux_drives
