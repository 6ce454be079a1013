// Telemetry logs (host-initiated 0x07, controller-initiated 0x08): a 512-byte header whose
// data-area last blocks come from the profile, followed by the data blocks. A read builds the
// header only when its window holds it, and the data bytes of its window only.
#include <algorithm>

#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimLogPageGenerators.h"
#include "host/devices/sim/SimLogSlice.h"

namespace host::sim {

namespace {

constexpr uint32_t blockSize = 512;
constexpr uint8_t hostBehaviorSupport = 0x16;

// Data area 4 is reported only after the host said, through Host Behavior Support, that it
// can handle it.
bool dataArea4Enabled(const SimDriveState& state) {
    const auto feature = state.features.find(hostBehaviorSupport);
    return feature != state.features.end() && feature->second.hasData && feature->second.data.size() > 1 &&
           *feature->second.data.at(1) != 0;
}

uint8_t dataByte(uint64_t offset) { return static_cast<uint8_t>(offset * 7 + offset / blockSize); }

}  // namespace

bool supportsTelemetry(const SimProfile& profile) {
    return profile.attributes.readBool(definitions::telemetryLogSupported().key());
}

SimResponse generateTelemetry(const SimLogRequest& request) {
    const bool hostInitiated = request.logId == 0x07;
    const auto& lastBlocks =
        hostInitiated ? request.profile.hostTelemetryLastBlocks : request.profile.controllerTelemetryLastBlocks;
    const uint32_t area4 = dataArea4Enabled(request.state) ? lastBlocks[3] : 0;
    const uint64_t lastBlock = area4 != 0 ? area4 : lastBlocks[2];
    const uint64_t pageSize = (lastBlock + 1) * blockSize;

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
            header.u8(381, hostInitiated ? 1 : 0);  // host-initiated data generation number
            const bool controllerData = request.profile.controllerTelemetryLastBlocks[0] != 0;
            header.u8(382, controllerData ? 1 : 0);  // controller-initiated data available
            header.u8(383, controllerData ? 1 : 0);  // controller-initiated data generation number
            slice.bytes(0, header.payload());
        }
        const uint64_t from = std::max<uint64_t>(slice.begin(), blockSize);
        const uint64_t to = std::min(slice.end(), pageSize);
        uint8_t* const window = slice.data();
        for (uint64_t offset = from; offset < to; ++offset) {
            window[offset - slice.begin()] = dataByte(offset);
        }
    });
}

}  // namespace host::sim
