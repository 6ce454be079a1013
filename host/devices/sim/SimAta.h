#pragma once
// The ATA commands a SATA drive of this family answers: IDENTIFY DEVICE, the SMART sectors,
// SMART EXECUTE OFF-LINE IMMEDIATE, READ DMA, CHECK POWER MODE and STANDBY IMMEDIATE.
#include <cstdint>

#include "drivekit/commands/ata/TaskFile.h"
#include "host/devices/sim/SimDriveState.h"
#include "host/devices/sim/SimProfile.h"
#include "host/devices/sim/SimReplay.h"
#include "host/devices/sim/SimResponse.h"

namespace host::sim {

class SimAta {
public:
    static constexpr uint32_t sectorSize = 512;

    static SimResponse execute(const SimProfile& profile, const drivekit::commands::ata::TaskFile& registers,
                               SimDriveState& state, SimReplay& replay);

    static drivekit::core::Payload identifyDevice(const SimProfile& profile);
    static drivekit::core::Payload smartData(const SimProfile& profile, const SimDriveState& state);
    static drivekit::core::Payload smartThresholds(const SimProfile& profile);
    // The checksum byte that makes the 512 bytes of a sector sum to zero.
    static uint8_t checksumFor(const uint8_t* sector);
};

}  // namespace host::sim
