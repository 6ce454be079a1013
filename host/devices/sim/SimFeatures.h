#pragma once
// Get Features and Set Features on the simulated drive, with per-drive values: current,
// saved and default, and the data structure of Host Behavior Support.
#include <cstdint>

#include "drivekit/commands/nvme/SubmissionEntry.h"
#include "host/devices/sim/SimDriveState.h"
#include "host/devices/sim/SimProfile.h"
#include "host/devices/sim/SimResponse.h"

namespace host::sim {

class SimFeatures {
public:
    static constexpr uint8_t hostBehaviorSupport = 0x16;
    static constexpr uint32_t hostBehaviorSupportSize = 512;

    // The features this drive has, with the profile's values over the defaults.
    static void initialise(const SimProfile& profile, SimDriveState& state);
    static SimResponse get(const drivekit::commands::nvme::SubmissionEntry& entry, SimDriveState& state);
    // data: what the host sent with the command (may be null or empty).
    static SimResponse set(const drivekit::commands::nvme::SubmissionEntry& entry,
                           const drivekit::core::Payload* data, SimDriveState& state);
};

}  // namespace host::sim
