#include "host/devices/sim/SimLogSlice.h"

#include <algorithm>
#include <cstring>

namespace host::sim {

void SimLogSlice::bytes(uint64_t pageOffset, const uint8_t* source, uint64_t count) {
    if (!overlaps(pageOffset, count)) {
        return;
    }
    const uint64_t from = std::max(pageOffset, begin());
    const uint64_t to = std::min(pageOffset + count, end());
    std::memcpy(payload_.data() + (from - begin()), source + (from - pageOffset), to - from);
}

void SimLogSlice::put(uint64_t pageOffset, uint64_t value, uint32_t width) {
    uint8_t little[8];
    for (uint32_t i = 0; i < width; ++i) {
        little[i] = static_cast<uint8_t>(value >> (8 * i));
    }
    bytes(pageOffset, little, width);
}

SimResponse cutPage(const drivekit::core::Payload& page, uint64_t offset, uint64_t length) {
    if (!SimLogSlice::readable(offset, page.size())) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    if (offset == 0 && length == page.size()) {
        return SimResponse::withData(page);
    }
    SimLogSlice slice(offset, length);
    slice.bytes(0, page);
    return SimResponse::withData(slice.payload());
}

}  // namespace host::sim
