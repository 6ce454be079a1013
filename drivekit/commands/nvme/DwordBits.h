#pragma once
// Masked writes into a command dword, so that earlier writes to its other bits survive.
#include <cstdint>

namespace drivekit::commands::nvme {

// dword with bits [shift, shift + width) replaced by the low `width` bits of value.
// (A value, not a reference: the submission entry's fields are packed.)
inline uint32_t withBits(uint32_t dword, uint32_t value, unsigned shift, unsigned width) {
    const uint32_t mask = (width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u)) << shift;
    return (dword & ~mask) | ((value << shift) & mask);
}

inline uint32_t getBits(uint32_t dword, unsigned shift, unsigned width) {
    const uint32_t mask = width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u);
    return (dword >> shift) & mask;
}

}  // namespace drivekit::commands::nvme
