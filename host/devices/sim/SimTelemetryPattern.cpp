#include "host/devices/sim/SimTelemetryPattern.h"

#include <algorithm>
#include <cstring>

namespace host::sim {

namespace {

constexpr uint64_t recordSize = 32;
// Records of one table row index repeat their counters this many records apart (8 KiB),
// well inside deflate's window, as a dump's per-die tables do.
constexpr uint64_t tableRows = 256;
// The counters of a table drift once every this many records (1 MiB).
constexpr uint64_t tableEpoch = 32768;

// SplitMix64's finaliser: every input bit reaches every output bit, at a few cycles a word.
uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// Noise from a record's own hash: one multiply a word is plenty for bytes deflate cannot
// match.
uint64_t stir(uint64_t x) {
    return (x ^ (x >> 32)) * 0xD6E8FEB86659FD93ULL;
}

void put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void put64(uint8_t* at, uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// How often each kind of record comes: counter table rows half the time, events and trace
// buffers a quarter each. This mix is what puts deflate near half the size.
const unsigned kindOf[8] = {0, 0, 0, 0, 1, 1, 2, 2};

// The tags of the firmware modules whose records make up a dump.
const char tags[8][5] = {"FTL0", "FTL1", "NAND", "ECC0", "GCOL", "THRM", "HOST", "PWRM"};

// One record: a tag, its sequence number and timestamp, then by kind a row of a counter
// table (compressible), an event with a parameter word (half noise), or a stretch of a trace
// buffer (noise). Every kind's words are made and one pair kept: a branch on the kind would
// be mispredicted half the time, which costs more than the few multiplies.
void makeRecord(uint8_t* record, uint64_t index, uint64_t seed) {
    const uint64_t h = mix(seed ^ index);
    std::memcpy(record, tags[(h >> 3) & 7], 4);
    put32(record + 4, static_cast<uint32_t>(index));
    put64(record + 8, (seed >> 24) + index * 1250 + ((h >> 8) & 0x3FF));  // microseconds
    const uint64_t row = stir(seed + index % tableRows + (index / tableEpoch) * tableRows);
    const uint64_t noise = stir(h);
    const uint64_t words[3][2] = {
        {row & 0x000F00FF000F03FFULL, (row >> 4) & 0x0000FFFF00000FFFULL},
        {0x8000u + ((h >> 20) & 0x3F) + ((h >> 40) << 32), noise},  // event code and its parameters
        {noise, stir(noise)},
    };
    const unsigned kind = kindOf[h & 7];
    put64(record + 16, words[kind][0]);
    put64(record + 24, words[kind][1]);
}

}  // namespace

uint64_t SimTelemetryPattern::seed(uint8_t logId, uint8_t generation) {
    return mix((uint64_t{logId} << 8) | generation);
}

void SimTelemetryPattern::fill(uint8_t* out, uint64_t offset, uint64_t length, uint64_t seed) {
    const uint64_t end = offset + length;
    for (uint64_t index = offset / recordSize; index * recordSize < end; ++index) {
        const uint64_t start = index * recordSize;
        if (start >= offset && start + recordSize <= end) {
            makeRecord(out + (start - offset), index, seed);
            continue;
        }
        uint8_t record[recordSize];  // a record cut by either edge
        makeRecord(record, index, seed);
        const uint64_t from = std::max(start, offset);
        const uint64_t to = std::min(start + recordSize, end);
        std::memcpy(out + (from - offset), record + (from - start), to - from);
    }
}

}  // namespace host::sim
