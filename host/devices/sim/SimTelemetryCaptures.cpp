#include "host/devices/sim/SimTelemetryCaptures.h"

namespace host::sim {

namespace {

constexpr uint8_t createBit = 0x01;

}  // namespace

void SimTelemetryCaptures::initialise(const SimProfile& profile, SimDriveState& state) {
    state.telemetry[hostInitiated].generation = 1;
    // A drive without controller-initiated data has not captured any.
    state.telemetry[controllerInitiated].generation = profile.controllerTelemetryLastBlocks[0] != 0 ? 1 : 0;
}

void SimTelemetryCaptures::beforeRead(SimDriveState& state, uint8_t logId, uint8_t lsp, uint64_t offset) {
    SimTelemetryCapture& capture = state.telemetry[logId];
    if (offset == 0) {
        capture.bodyRead = false;
    }
    if (logId == hostInitiated && (lsp & createBit) != 0) {
        ++capture.generation;
    }
}

void SimTelemetryCaptures::afterRead(const SimProfile& profile, SimDriveState& state, uint8_t logId,
                                     uint64_t offset) {
    SimTelemetryCapture& capture = state.telemetry[logId];
    if (offset == 0 || capture.bodyRead) {
        return;
    }
    capture.bodyRead = true;
    if (capture.changes < profile.telemetryChangesDuringRead) {
        ++capture.changes;
        ++capture.generation;
    }
}

uint8_t SimTelemetryCaptures::generation(const SimDriveState& state, uint8_t logId) {
    const auto found = state.telemetry.find(logId);
    return found == state.telemetry.end() ? 0 : found->second.generation;
}

}  // namespace host::sim
