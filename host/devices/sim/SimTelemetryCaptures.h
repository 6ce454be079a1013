#pragma once
// The telemetry logs' captures on the simulated drive: a host-initiated read with the Create
// bit makes a new capture, and the profile's fault replaces a log's capture while a reader is
// part way through it. The content of both logs follows their data generation numbers.
#include <cstdint>

#include "host/devices/sim/SimDriveState.h"
#include "host/devices/sim/SimProfile.h"

namespace host::sim {

class SimTelemetryCaptures {
public:
    static constexpr uint8_t hostInitiated = 0x07;
    static constexpr uint8_t controllerInitiated = 0x08;

    static bool isTelemetryLog(uint8_t logId) { return logId == hostInitiated || logId == controllerInitiated; }
    // The captures a drive holds when it starts.
    static void initialise(const SimProfile& profile, SimDriveState& state);
    // Before a read of a telemetry log is answered: a read at offset 0 starts a pass, and
    // with the Create bit (LSP bit 0) of the host-initiated log a new capture.
    static void beforeRead(SimDriveState& state, uint8_t logId, uint8_t lsp, uint64_t offset);
    // After a read of a telemetry log was answered: the first body piece of a pass may
    // replace the capture under its reader, as the profile asks.
    static void afterRead(const SimProfile& profile, SimDriveState& state, uint8_t logId, uint64_t offset);
    // The log's current data generation number.
    static uint8_t generation(const SimDriveState& state, uint8_t logId);
};

}  // namespace host::sim
