// Telemetry logs (host-initiated 0x07, controller-initiated 0x08): a 512-byte header whose
// data-area last blocks come from the profile, followed by the data blocks. A read builds the
// header only when its window holds it, and the data bytes of its window only: a copy from a
// repeating pattern placed by the log's generation number (or, as the profile asks, records
// like a firmware dump's, seeded by it), and a tag at the start of every block (block number,
// generation number, log id), so that a block read from the wrong place or from an older
// capture differs from the log the drive holds.
#include <algorithm>
#include <cstring>
#include <vector>

#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimLogPageGenerators.h"
#include "host/devices/sim/SimLogSlice.h"
#include "host/devices/sim/SimTelemetryCaptures.h"
#include "host/devices/sim/SimTelemetryPattern.h"

namespace host::sim {

namespace {

constexpr uint32_t blockSize = 512;
constexpr uint8_t hostBehaviorSupport = 0x16;
constexpr uint64_t patternPeriod = 64 * 1024;
// How far each generation moves the pattern: not a multiple of a block, so every byte moves.
constexpr uint64_t generationShift = 4099;
constexpr uint32_t tagSize = 6;

// Data area 4 is reported only after the host said, through Host Behavior Support, that it
// can handle it.
bool dataArea4Enabled(const SimDriveState& state) {
    const auto feature = state.features.find(hostBehaviorSupport);
    return feature != state.features.end() && feature->second.hasData && feature->second.data.size() > 1 &&
           *feature->second.data.at(1) != 0;
}

// One period of the pattern and a second copy after it, so that a run of up to a period
// from any start inside the first copy is one contiguous copy.
const uint8_t* pattern() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> built(2 * patternPeriod);
        for (uint64_t i = 0; i < built.size(); ++i) {
            const uint64_t at = i % patternPeriod;
            built[i] = static_cast<uint8_t>(at * 7 + at / 509);
        }
        return built;
    }();
    return bytes.data();
}

void fillRepeating(uint8_t* window, uint64_t from, uint64_t to, uint8_t generation) {
    const uint64_t shift = generation * generationShift;
    for (uint64_t at = from; at < to;) {
        const uint64_t run = std::min(to - at, patternPeriod);
        std::memcpy(window + (at - from), pattern() + (at + shift) % patternPeriod, run);
        at += run;
    }
}

void fillData(SimLogSlice& slice, uint64_t from, uint64_t to, uint8_t logId, uint8_t generation, bool realistic) {
    uint8_t* const window = slice.data();
    if (realistic) {
        SimTelemetryPattern::fill(window + (from - slice.begin()), from, to - from,
                                  SimTelemetryPattern::seed(logId, generation));
    } else {
        fillRepeating(window + (from - slice.begin()), from, to, generation);
    }
    for (uint64_t block = std::max<uint64_t>(from / blockSize, 1); block * blockSize < to; ++block) {
        const uint64_t start = block * blockSize;
        const auto number = static_cast<uint32_t>(block);
        const uint8_t tag[tagSize] = {static_cast<uint8_t>(number),       static_cast<uint8_t>(number >> 8),
                                      static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24),
                                      generation,                         logId};
        if (start >= from && start + tagSize <= to) {
            std::memcpy(window + (start - slice.begin()), tag, tagSize);
        } else {
            slice.bytes(start, tag, tagSize);  // a block cut by the window's edge
        }
    }
}

}  // namespace

bool supportsTelemetry(const SimProfile& profile) {
    return profile.attributes.readBool(definitions::telemetryLogSupported().key());
}

SimResponse generateTelemetry(const SimLogRequest& request) {
    const bool hostInitiated = request.logId == SimTelemetryCaptures::hostInitiated;
    const auto& lastBlocks =
        hostInitiated ? request.profile.hostTelemetryLastBlocks : request.profile.controllerTelemetryLastBlocks;
    const uint32_t area4 = dataArea4Enabled(request.state) ? lastBlocks[3] : 0;
    const uint64_t lastBlock = area4 != 0 ? area4 : lastBlocks[2];
    const uint64_t pageSize = (lastBlock + 1) * blockSize;
    const uint8_t generation = SimTelemetryCaptures::generation(request.state, request.logId);

    return answerSlice(request, pageSize, [&](SimLogSlice& slice) {
        if (slice.overlaps(0, blockSize)) {
            SimBytes header(blockSize);
            header.u8(0, request.logId);
            header.u8(5, request.profile.ieeeOui & 0xFF);
            header.u8(6, (request.profile.ieeeOui >> 8) & 0xFF);
            header.u8(7, (request.profile.ieeeOui >> 16) & 0xFF);
            header.u16(8, lastBlocks[0]);
            header.u16(10, lastBlocks[1]);
            header.u16(12, lastBlocks[2]);
            header.u32(16, area4);
            header.u8(381, hostInitiated ? generation : 0);  // host-initiated data generation number
            const bool controllerData = request.profile.controllerTelemetryLastBlocks[0] != 0;
            header.u8(382, controllerData ? 1 : 0);  // controller-initiated data available
            header.u8(383, SimTelemetryCaptures::generation(request.state, SimTelemetryCaptures::controllerInitiated));
            slice.bytes(0, header.payload());
        }
        const uint64_t from = std::max<uint64_t>(slice.begin(), blockSize);
        const uint64_t to = std::min(slice.end(), pageSize);
        if (from < to) {
            fillData(slice, from, to, request.logId, generation, request.profile.realisticTelemetry);
        }
    });
}

}  // namespace host::sim
