#pragma once
// The two 512-byte ATA SMART sectors: SMART READ DATA (the attribute table and the off-line /
// self-test block) and SMART READ THRESHOLDS (one threshold per attribute, same positions).
#include <cstdint>

#include "drivekit/core/Payload.h"

namespace drivekit::features::smart {

constexpr uint32_t smartSectorBytes = 512;
constexpr uint32_t smartEntryCount = 30;

#pragma pack(push, 1)
struct AtaSmartEntry {
    uint8_t id;  // 0: unused entry
    uint16_t flags;
    uint8_t normalized;
    uint8_t worst;
    uint8_t raw[6];  // 48-bit little-endian
    uint8_t reserved;
};
static_assert(sizeof(AtaSmartEntry) == 12, "SMART attribute entry");

struct AtaThresholdEntry {
    uint8_t id;
    uint8_t threshold;
    uint8_t reserved[10];
};
static_assert(sizeof(AtaThresholdEntry) == 12, "SMART threshold entry");

struct AtaSmartDataSector {
    uint16_t revision;
    AtaSmartEntry entries[smartEntryCount];
    uint8_t offlineCollectionStatus;  // byte 362
    uint8_t selfTestStatus;
    uint16_t offlineCollectionSeconds;
    uint8_t vendorSpecific366;
    uint8_t offlineCapability;
    uint16_t smartCapability;
    uint8_t errorLoggingCapability;
    uint8_t vendorSpecific371;
    uint8_t shortSelfTestMinutes;
    uint8_t extendedSelfTestMinutes;
    uint8_t conveyanceSelfTestMinutes;
    uint16_t extendedSelfTestMinutesWord;
    uint8_t reserved377[9];
    uint8_t vendorSpecific386[125];
    uint8_t checksum;
};
static_assert(sizeof(AtaSmartDataSector) == smartSectorBytes, "SMART READ DATA sector");

struct AtaSmartThresholdSector {
    uint16_t revision;
    AtaThresholdEntry entries[smartEntryCount];
    uint8_t reserved362[149];
    uint8_t checksum;
};
static_assert(sizeof(AtaSmartThresholdSector) == smartSectorBytes, "SMART READ THRESHOLDS sector");
#pragma pack(pop)

constexpr uint8_t preFailureFlag = 0x01;
// The end-to-end error count fails like a pre-failure attribute whatever its flags say.
constexpr uint8_t endToEndErrorId = 0xB8;
// The timed-workload counters that SMART EXECUTE OFF-LINE IMMEDIATE 0x40 restarts.
constexpr uint8_t timedWorkloadIds[] = {0xE2, 0xE3, 0xE4};

// The 48-bit raw value of an entry.
uint64_t rawValue(const AtaSmartEntry& entry);
// True when the sector's 512 bytes sum to zero (modulo 256), as the checksum byte makes them.
// A sector shorter than 512 bytes is never valid.
bool checksumValid(const core::Payload& sector);
// The checksum byte that makes the sector's first 511 bytes sum to zero with it.
uint8_t expectedChecksum(const core::Payload& sector);

}  // namespace drivekit::features::smart
