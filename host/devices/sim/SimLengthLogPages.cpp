// Pages whose header gives their own length, which a host reads in pieces: LBA status
// information (0x0E), the endurance group event aggregate (0x0F) and the eye opening
// measurement (0x19). The aggregate can be large, so it is generated for the window only.
#include <algorithm>
#include <cstring>
#include <vector>

#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimLogPageGenerators.h"
#include "host/devices/sim/SimLogSlice.h"

namespace host::sim {

namespace {

constexpr uint32_t lbaStatusHeader = 16;
constexpr uint32_t lbaStatusElement = 16;
constexpr uint32_t lbaRangeDescriptor = 16;
constexpr uint32_t lbaRangesPerNamespace = 2;
constexpr uint32_t lbaRangeBlocks = 256;
constexpr uint8_t trackedLbas = 0x11;

constexpr uint32_t eyeHeader = 64;
constexpr uint32_t eyeDescriptor = 32;
constexpr uint32_t eyeLanes = 4;
constexpr uint32_t eyeRows = 8;
constexpr uint32_t eyeColumns = 16;
constexpr uint8_t eyeCompleted = 2;
constexpr uint8_t printableEyePresent = 1u << 0;

constexpr uint64_t enduranceGroupEventHeader = 8;

// The open part of a lane's eye: an ellipse that narrows a little on each further lane.
bool insideEye(uint32_t lane, uint32_t row, uint32_t column) {
    const double y = (row + 0.5 - eyeRows / 2.0) / (eyeRows / 2.0 - 0.5);
    const double x = (column + 0.5 - eyeColumns / 2.0) / (eyeColumns / 2.0 - 1.0 - lane * 0.5);
    return x * x + y * y <= 1.0;
}

}  // namespace

SimResponse generateLbaStatus(const SimLogRequest& request) {
    const auto active = request.profile.activeNamespaceIds();
    const uint32_t element = lbaStatusElement + lbaRangesPerNamespace * lbaRangeDescriptor;
    SimBytes data(lbaStatusHeader + element * static_cast<uint32_t>(active.size()));
    data.u32(0, data.size());
    data.u32(4, active.size());
    data.u32(8, active.size() * lbaRangesPerNamespace * lbaRangeBlocks);  // estimated unrecoverable
    data.u16(14, 1);                                                       // generation counter
    uint32_t base = lbaStatusHeader;
    for (const uint32_t id : active) {
        const uint64_t blocks = request.profile.findNamespace(id)->sizeBlocks;
        data.u32(base, id);
        data.u32(base + 4, lbaRangesPerNamespace);
        data.u8(base + 8, trackedLbas);
        for (uint32_t i = 0; i < lbaRangesPerNamespace; ++i) {
            const uint32_t range = base + lbaStatusElement + i * lbaRangeDescriptor;
            data.u64(range, (blocks / (4 - i)) & ~uint64_t{0xFF});
            data.u32(range + 8, lbaRangeBlocks);
        }
        base += element;
    }
    return cutPage(data.payload(), request);
}

namespace {

// The endurance group ids 1 to 65535 as the aggregate lists them, little-endian.
const std::vector<uint8_t>& enduranceGroupIdCycle() {
    static const std::vector<uint8_t> cycle = [] {
        std::vector<uint8_t> bytes;
        bytes.reserve(2 * 0xFFFF);
        for (uint32_t id = 1; id <= 0xFFFF; ++id) {
            bytes.push_back(static_cast<uint8_t>(id));
            bytes.push_back(static_cast<uint8_t>(id >> 8));
        }
        return bytes;
    }();
    return cycle;
}

}  // namespace

SimResponse generateEnduranceGroupEvents(const SimLogRequest& request) {
    const uint64_t entries = request.profile.enduranceGroupEvents;
    const uint64_t pageSize = enduranceGroupEventHeader + 2 * entries;
    return answerSlice(request, pageSize, [&](SimLogSlice& slice) {
        slice.u64(0, entries);
        // Entry i sits at 8 + 2i and names endurance group i % 65535 + 1. A window starts on
        // a dword, so no entry is cut by its edges; the ids are copied from one cycle of them.
        const std::vector<uint8_t>& ids = enduranceGroupIdCycle();
        uint64_t from = std::max(slice.begin(), enduranceGroupEventHeader);
        const uint64_t to = std::min(slice.end(), pageSize);
        while (from < to) {
            const uint64_t inCycle = (from - enduranceGroupEventHeader) % ids.size();
            const uint64_t count = std::min<uint64_t>(to - from, ids.size() - inCycle);
            std::memcpy(slice.data() + (from - slice.begin()), ids.data() + inCycle, count);
            from += count;
        }
    });
}

SimResponse generateEyeOpening(const SimLogRequest& request) {
    const uint32_t lane = eyeDescriptor + eyeRows * eyeColumns;
    SimBytes data(eyeHeader + eyeLanes * lane);
    data.u8(0, 0x19);
    data.u8(1, eyeCompleted);
    data.u16(2, eyeHeader);
    data.u32(4, data.size());
    data.u8(8, 1);   // measurement data generation
    data.u8(9, 1);   // log revision
    data.u8(10, printableEyePresent);
    data.u8(11, eyeLanes);
    data.u8(12, 1);  // eyes per lane
    data.u8(13, request.lsp);
    data.u16(16, request.lsi);
    for (uint32_t n = 0; n < eyeLanes; ++n) {
        const uint32_t base = eyeHeader + n * lane;
        data.u8(base + 1, 1);  // measured
        data.u8(base + 2, n);
        data.u16(base + 4, 1);                          // top row of the eye
        data.u16(base + 6, eyeRows - 2);                // bottom row
        data.u16(base + 8, 1 + n / 2);                  // left column
        data.u16(base + 10, eyeColumns - 2 - n / 2);    // right column
        data.u16(base + 12, eyeRows);
        data.u16(base + 14, eyeColumns);
        for (uint32_t row = 0; row < eyeRows; ++row) {
            for (uint32_t column = 0; column < eyeColumns; ++column) {
                data.u8(base + eyeDescriptor + row * eyeColumns + column, insideEye(n, row, column) ? '0' : '1');
            }
        }
    }
    return cutPage(data.payload(), request);
}

}  // namespace host::sim
