#pragma once
// What the NVMe and the SATA drive of a Windows machine share: the DeviceIoControl seam they
// send through once opened, and their time-out in the seconds the requests take.
#include <memory>
#include <string>

#include "host/devices/RealDrive.h"
#include "host/devices/win/IoControl.h"

namespace host::win_drives {

class WinDrive : public devices::RealDrive {
public:
    // The drive as the listing found it ("\\.\PhysicalDrive0"); commands fail with "not open"
    // until attach().
    using RealDrive::RealDrive;

    void attach(std::unique_ptr<IoControl> io) { io_ = std::move(io); }
    bool attached() const override { return io_ != nullptr; }

protected:
    // One request through the seam; a refusal of the system becomes status, naming the command.
    IoAnswer call(uint32_t controlCode, const std::vector<uint8_t>& request, const std::string& what,
                  drivekit::core::Status& status);
    // The first queue's time-out in whole seconds, at least 1.
    uint32_t timeoutSeconds() const;

private:
    std::unique_ptr<IoControl> io_;
};

}  // namespace host::win_drives
