#pragma once
// What the NVMe and the SATA drive of this machine share: the device node they are listed
// under, the pass-through they send through once opened, and their command queue's time-out.
#include <memory>
#include <string>

#include "host/devices/RealDrive.h"
#include "host/devices/linux/PassThrough.h"

namespace host::linux_drives {

class PassThroughDrive : public devices::RealDrive {
public:
    // The drive as sysfs lists it; commands fail with "not open" until attach().
    using RealDrive::RealDrive;

    void attach(std::unique_ptr<PassThrough> passThrough) { passThrough_ = std::move(passThrough); }
    bool attached() const override { return passThrough_ != nullptr; }
    // The kernel's own time-out for the drive's commands (0: none known). No command is given
    // less: a command the kernel times out first is cancelled with a controller reset.
    void setTimeoutFloorSeconds(uint32_t seconds) { timeoutFloorSeconds_ = seconds; }

protected:
    // The first queue's time-out in milliseconds, never below the floor and at least 1: 0
    // would stand for the kernel's own default, and a time-out is always given.
    uint32_t timeoutMilliseconds() const;
    PassThrough& passThrough() { return *passThrough_; }

private:
    std::unique_ptr<PassThrough> passThrough_;
    uint32_t timeoutFloorSeconds_ = 0;
};

}  // namespace host::linux_drives
