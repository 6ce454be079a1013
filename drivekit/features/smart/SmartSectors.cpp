#include "drivekit/features/smart/SmartSectors.h"

#include "drivekit/core/LittleEndian.h"

namespace drivekit::features::smart {

uint64_t rawValue(const AtaSmartEntry& entry) {
    return core::readLittleEndian(entry.raw, sizeof(entry.raw));
}

uint8_t expectedChecksum(const core::Payload& sector) {
    uint8_t sum = 0;
    const uint32_t count = sector.size() < smartSectorBytes ? sector.size() : smartSectorBytes - 1;
    for (uint32_t i = 0; i < count; ++i) {
        sum = static_cast<uint8_t>(sum + sector.data()[i]);
    }
    return static_cast<uint8_t>(0x100 - sum);
}

bool checksumValid(const core::Payload& sector) {
    return sector.size() >= smartSectorBytes && sector.data()[smartSectorBytes - 1] == expectedChecksum(sector);
}

}  // namespace drivekit::features::smart
