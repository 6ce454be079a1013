#pragma once
// Puts one of the maker's ATA drives into standby at once (STANDBY IMMEDIATE).
#include <memory>

#include "drivekit/core/HostInterface.h"
#include "drivekit/features/Feature.h"

namespace drivekit::features::standby_immediate {

class StandbyImmediate : public Feature {
public:
    explicit StandbyImmediate(std::shared_ptr<core::Device> device) : device_(std::move(device)) {}

    // "Drive is not a Kestrova SSD." for another maker's drive, "Selected drive is in a disable
    // logical state." when the drive reports an error text, "Device does not support this
    // command set." without ATA.
    core::Status canRun(core::Status& status);
    // Sends the command (after canRun) and returns its status.
    core::Status sendCommand(core::Status& status);

private:
    std::shared_ptr<core::Device> device_;
};

}  // namespace drivekit::features::standby_immediate
