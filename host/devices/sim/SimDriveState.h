#pragma once
// What changes on a simulated drive while it runs: feature values, the vendor channel's
// pending descriptor, the power mode, the telemetry captures, and the identify structures and
// SMART sectors built so far (handed out shared).
#include <cstdint>
#include <map>
#include <optional>
#include <tuple>

#include "drivekit/core/Payload.h"

namespace host::sim {

struct SimFeatureState {
    uint32_t current = 0;
    uint32_t saved = 0;
    uint32_t defaultValue = 0;
    bool saveable = true;
    bool changeable = true;
    // Features with a data structure (Host Behavior Support) keep it here.
    drivekit::core::Payload data;
    bool hasData = false;
};

struct SimPendingDescriptor {
    uint32_t code = 0;
    uint16_t sequence = 0;
};

// One telemetry log's current capture and the reads of it so far.
struct SimTelemetryCapture {
    uint8_t generation = 0;     // the header's data generation number; the content follows it
    bool bodyRead = false;      // the current pass (from the last read at offset 0) read past it
    uint32_t changes = 0;       // captures replaced under a reader so far
};

struct SimDriveState {
    std::map<uint8_t, SimFeatureState> features;
    std::optional<SimPendingDescriptor> pendingDescriptor;
    bool standby = false;
    uint8_t offlineStatus = 0x00;  // off-line data collection status of the SMART sector
    std::map<uint8_t, SimTelemetryCapture> telemetry;  // by log id

    // Built structures, keyed by what selects their content.
    std::map<std::tuple<uint8_t, uint32_t>, drivekit::core::Payload> identify;
    std::map<uint8_t, drivekit::core::Payload> ataSectors;
};

}  // namespace host::sim
