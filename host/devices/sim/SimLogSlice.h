#pragma once
// The part of a log page that one Get Log Page command reads. Generators write fields at
// their offsets in the page; only the bytes inside the window land, and the window past the
// page's end stays zero, as a controller pads a read that runs over the end.
#include <cstdint>

#include "drivekit/core/Payload.h"
#include "host/devices/sim/SimLogPages.h"

namespace host::sim {

class SimLogSlice {
public:
    // length zero bytes standing for the page from offset.
    SimLogSlice(uint64_t offset, uint64_t length) : offset_(offset), payload_(length) {}

    uint64_t begin() const { return offset_; }
    uint64_t end() const { return offset_ + payload_.size(); }
    bool overlaps(uint64_t pageOffset, uint64_t count) const {
        return pageOffset < end() && pageOffset + count > begin();
    }

    // count bytes of source placed at pageOffset in the page, clipped to the window.
    void bytes(uint64_t pageOffset, const uint8_t* source, uint64_t count);
    void bytes(uint64_t pageOffset, const drivekit::core::Payload& source) {
        bytes(pageOffset, source.data(), source.size());
    }
    void u8(uint64_t pageOffset, uint64_t value) { put(pageOffset, value, 1); }
    void u16(uint64_t pageOffset, uint64_t value) { put(pageOffset, value, 2); }
    void u32(uint64_t pageOffset, uint64_t value) { put(pageOffset, value, 4); }
    void u64(uint64_t pageOffset, uint64_t value) { put(pageOffset, value, 8); }

    // The window's own bytes, for generators that fill long runs directly.
    uint8_t* data() const { return payload_.data(); }
    const drivekit::core::Payload& payload() const { return payload_; }

    // Whether a controller serves a read at offset of a page of pageSize bytes: the offset
    // is a dword multiple inside the page.
    static bool readable(uint64_t offset, uint64_t pageSize) { return offset % 4 == 0 && offset < pageSize; }

private:
    void put(uint64_t pageOffset, uint64_t value, uint32_t width);

    uint64_t offset_;
    drivekit::core::Payload payload_;
};

// The answer to a read of a page of pageSize bytes whose window fill writes: Invalid Field
// for an offset the controller rejects, otherwise the window.
template <typename Fill>
SimResponse answerSlice(const SimLogRequest& request, uint64_t pageSize, Fill fill) {
    if (!SimLogSlice::readable(request.offset, pageSize)) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    SimLogSlice slice(request.offset, request.length);
    fill(slice);
    return SimResponse::withData(slice.payload());
}

// A page built whole, cut to the window (the page itself when the whole page is asked for).
SimResponse cutPage(const drivekit::core::Payload& page, uint64_t offset, uint64_t length);
inline SimResponse cutPage(const drivekit::core::Payload& page, const SimLogRequest& request) {
    return cutPage(page, request.offset, request.length);
}

}  // namespace host::sim
