#pragma once
// A SATA disk behind libata (/dev/sdX), reached with SG_IO and ATA PASS-THROUGH (16). The
// ATA registers that come back in the sense data decide the outcome; they are also the
// command's protocol result.
#include <memory>
#include <string>

#include "drivekit/core/HostInterface.h"
#include "host/devices/linux/PassThrough.h"

namespace host::linux_drives {

class LinuxAtaDrive : public drivekit::core::Device {
public:
    explicit LinuxAtaDrive(std::string path);

    void attach(std::unique_ptr<PassThrough> passThrough) { passThrough_ = std::move(passThrough); }
    bool attached() const { return passThrough_ != nullptr; }
    const std::string& path() const { return path_; }
    // Whether SMART commands take the separate "SMART" path (IDENTIFY DEVICE says SMART is
    // supported).
    void setSmartSupported(bool supported) { smartSupported_ = supported; }

    bool isProtocolSupported(const std::string& protocol) const override;
    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command,
                                              const drivekit::core::Payload& data) override;
    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command) override;

    static constexpr uint32_t sectorSize = 512;

private:
    drivekit::core::CommandResult execute(drivekit::core::Command& command, const drivekit::core::Payload* data);

    std::string path_;
    std::unique_ptr<PassThrough> passThrough_;
    bool smartSupported_ = false;
};

}  // namespace host::linux_drives
