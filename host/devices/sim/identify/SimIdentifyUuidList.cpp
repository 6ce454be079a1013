// The UUID List (CNS 0x17) of the simulated drive: a vendor UUID of the maker's own, then two
// of the UUIDs under which the maker's vendor log pages are served, listed in an order that
// differs from the order in which the host tries them.
#include <array>

#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/identify/SimIdentifyStructures.h"

namespace host::sim {

namespace {

using Uuid = std::array<uint8_t, 16>;

constexpr uint32_t headerBytes = 32;
constexpr uint32_t entryBytes = 32;
constexpr uint32_t uuidOffset = 16;
constexpr uint8_t associatedWithVendor = 0x1;

// Bytes in the order the list stores them.
constexpr std::array<Uuid, 3> listedUuids{{
    {0x4b, 0x76, 0x6e, 0x68, 0x0d, 0x9e, 0x4c, 0x51, 0x8a, 0x33, 0x5e, 0x10, 0x27, 0xc4, 0x6a, 0x02},
    {0x6f, 0xbe, 0x56, 0x8f, 0x99, 0x29, 0x1d, 0xa2, 0x94, 0x47, 0x94, 0xe0, 0x5b, 0xd5, 0x94, 0xc1},
    {0xb2, 0xbb, 0xf6, 0x87, 0x41, 0x65, 0xaa, 0xaa, 0xad, 0x43, 0x1b, 0xc1, 0x6e, 0x58, 0x19, 0x96},
}};

}  // namespace

SimResponse buildUuidList(const SimIdentifyRequest& request) {
    // A controller without UUID support does not implement the structure.
    if (!request.profile.attributes.readBool(definitions::uuidSupported().key())) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    SimBytes data(SimIdentify::structureSize);
    for (uint32_t index = 0; index < listedUuids.size(); ++index) {
        const uint32_t entry = headerBytes + index * entryBytes;
        data.u8(entry, associatedWithVendor);
        data.bytes(entry + uuidOffset, listedUuids[index].data(), static_cast<uint32_t>(listedUuids[index].size()));
    }
    return SimResponse::withData(data.payload());
}

}  // namespace host::sim
