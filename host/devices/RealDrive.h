#pragma once
// What every drive of this machine shares, whichever way the platform reaches it: the path it is
// listed under, a command queue with the host's time-out, the gate for the maker's own commands,
// and the checks before a command is sent (its protocol, the drive open, the gate).
#include <string>

#include "drivekit/core/HostInterface.h"
#include "host/devices/VendorCommandGate.h"

namespace host::devices {

class RealDrive : public drivekit::core::Device, public VendorCommandGate {
public:
    explicit RealDrive(std::string path);

    const std::string& path() const { return path_; }
    // Whether the platform's way to the drive is open; commands fail with "not open" until it is.
    virtual bool attached() const = 0;

    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command,
                                              const drivekit::core::Payload& data) override;
    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command) override;

protected:
    // Called with the protocol checked and the drive open; data is null for the plain send.
    virtual drivekit::core::CommandResult execute(drivekit::core::Command& command,
                                                  const drivekit::core::Payload* data) = 0;

private:
    drivekit::core::CommandResult checkedExecute(drivekit::core::Command& command, const drivekit::core::Payload* data);

    std::string path_;
};

}  // namespace host::devices
