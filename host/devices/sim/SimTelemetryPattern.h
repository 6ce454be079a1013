#pragma once
// The data areas of a telemetry log in the "realistic" pattern: 32-byte records as a drive's
// firmware lays out its dump (ASCII tags, sequence numbers, timestamps, rows of small counter
// tables, event words) mixed with noise, so that deflate does about as well on it as on a real
// dump (about half the size) instead of far better. Each record is made from its index and the
// capture's seed alone: any piece of the log comes out the same on every read, without making
// the bytes before it.
#include <cstdint>

namespace host::sim {

class SimTelemetryPattern {
public:
    // The seed of one capture: another log or generation gives other bytes everywhere.
    static uint64_t seed(uint8_t logId, uint8_t generation);
    // length bytes of the capture, the first at the log's byte offset.
    static void fill(uint8_t* out, uint64_t offset, uint64_t length, uint64_t seed);
};

}  // namespace host::sim
