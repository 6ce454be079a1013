#pragma once
// What the NVMe and the SATA drive of this machine share: the device node they are listed
// under, the pass-through they send through once opened, and their command queue's time-out.
#include <memory>
#include <string>

#include "drivekit/core/HostInterface.h"
#include "host/devices/VendorCommandGate.h"
#include "host/devices/linux/PassThrough.h"

namespace host::linux_drives {

class PassThroughDrive : public drivekit::core::Device, public devices::VendorCommandGate {
public:
    // The drive as sysfs lists it; commands fail with "not open" until attach().
    explicit PassThroughDrive(std::string path);

    void attach(std::unique_ptr<PassThrough> passThrough) { passThrough_ = std::move(passThrough); }
    bool attached() const { return passThrough_ != nullptr; }
    const std::string& path() const { return path_; }
    // The kernel's own time-out for the drive's commands (0: none known). No command is given
    // less: a command the kernel times out first is cancelled with a controller reset.
    void setTimeoutFloorSeconds(uint32_t seconds) { timeoutFloorSeconds_ = seconds; }

    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command,
                                              const drivekit::core::Payload& data) override;
    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command) override;

protected:
    // Called with the protocol checked and the drive open; data is null for the plain send.
    virtual drivekit::core::CommandResult execute(drivekit::core::Command& command,
                                                  const drivekit::core::Payload* data) = 0;
    // The first queue's time-out in milliseconds, never below the floor and at least 1: 0
    // would stand for the kernel's own default, and a time-out is always given.
    uint32_t timeoutMilliseconds() const;
    PassThrough& passThrough() { return *passThrough_; }

private:
    drivekit::core::CommandResult checkedExecute(drivekit::core::Command& command, const drivekit::core::Payload* data);

    std::string path_;
    std::unique_ptr<PassThrough> passThrough_;
    uint32_t timeoutFloorSeconds_ = 0;
};

}  // namespace host::linux_drives
