#pragma once
// The Identify Controller bits this code tests or sets, as masks named after the NVMe fields
// that hold them. The Linux layer reads them, the simulated drive sets them and the decode
// table shows them, so the three cannot disagree on a bit's place.
#include <cstdint>

namespace drivekit::features::identify {

// Controller Attributes (CTRATT, bytes 99:96).
constexpr uint32_t ctrattUuidList = 1u << 9;

// Optional Admin Command Support (OACS, bytes 257:256).
constexpr uint16_t oacsFirmware = 1u << 2;
constexpr uint16_t oacsNamespaceManagement = 1u << 3;

// Firmware Updates (FRMW, byte 260): the number of firmware slots.
constexpr uint8_t frmwSlotCount = 0x0E;

// Log Page Attributes (LPA, byte 261).
constexpr uint8_t lpaCommandEffects = 1u << 1;
constexpr uint8_t lpaExtendedData = 1u << 2;
constexpr uint8_t lpaTelemetry = 1u << 3;
constexpr uint8_t lpaDataArea4 = 1u << 6;

// The place of a mask's lowest and highest bit, for tables that name bits by number.
constexpr uint8_t lowestBit(uint64_t mask) {
    uint8_t bit = 0;
    while (bit < 63 && ((mask >> bit) & 1u) == 0) {
        ++bit;
    }
    return bit;
}

constexpr uint8_t highestBit(uint64_t mask) {
    uint8_t bit = 63;
    while (bit > 0 && ((mask >> bit) & 1u) == 0) {
        --bit;
    }
    return bit;
}

static_assert(lowestBit(frmwSlotCount) == 1 && highestBit(frmwSlotCount) == 3);

}  // namespace drivekit::features::identify
