#pragma once
// A UUID as a drive lists it: 16 bytes compared in their stored order.
#include <array>
#include <cstdint>
#include <map>

namespace drivekit::features::uuid {

using Uuid = std::array<uint8_t, 16>;
// A drive's UUID list: each UUID with its UUID index (1-based position in the list).
using UuidTable = std::map<Uuid, uint8_t>;

}  // namespace drivekit::features::uuid
