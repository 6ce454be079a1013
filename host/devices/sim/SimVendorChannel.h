#pragma once
// The vendor-specific exchange: a descriptor sent with opcode 0xF1 names what the host wants,
// and the receive with opcode 0xF2 that carries the same code and sequence number reads it.
// The content is the drive's life-cycle state and its firmware parameter record, or for a
// replayed package the answers its manifest recorded.
#include <cstdint>

#include "drivekit/commands/nvme/SubmissionEntry.h"
#include "host/devices/sim/SimDriveState.h"
#include "host/devices/sim/SimProfile.h"
#include "host/devices/sim/SimResponse.h"

namespace host::sim {

class SimVendorChannel {
public:
    static constexpr uint32_t lifeCycleCode = 0x830F1004;
    static constexpr uint32_t firmwareParametersCode = 0x83010003;
    static constexpr uint32_t firmwareParametersSize = 172;

    static SimResponse send(const SimProfile& profile, const drivekit::commands::nvme::SubmissionEntry& entry,
                            SimDriveState& state);
    static SimResponse receive(const SimProfile& profile, const drivekit::commands::nvme::SubmissionEntry& entry,
                               SimDriveState& state);
    static bool knows(const SimProfile& profile, uint32_t code);
    // The content a code reads, or an empty payload for a code the drive does not know.
    static drivekit::core::Payload content(const SimProfile& profile, uint32_t code);
};

}  // namespace host::sim
