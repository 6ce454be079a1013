#pragma once
// Numbers as NVMe and ATA structures store them: least significant byte first.
#include <cstdint>

#include "drivekit/core/TextParsing.h"

namespace drivekit::core {

// The first width bytes at data (at most 8) as one number.
inline uint64_t readLittleEndian(const uint8_t* data, uint32_t width) {
    uint64_t value = 0;
    for (uint32_t i = width < 8 ? width : 8; i > 0; --i) {
        value = (value << 8) | data[i - 1];
    }
    return value;
}

// The first width bytes at data (at most 16) as one number.
inline strings::Uint128 readLittleEndian128(const uint8_t* data, uint32_t width) {
    strings::Uint128 value = 0;
    for (uint32_t i = width < 16 ? width : 16; i > 0; --i) {
        value = (value << 8) | data[i - 1];
    }
    return value;
}

}  // namespace drivekit::core
