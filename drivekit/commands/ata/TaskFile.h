#pragma once
// One set of the eight ATA task-file registers.
#include <cstdint>

namespace drivekit::commands::ata {

#pragma pack(push, 1)
struct TaskFile {
    uint8_t feature;  // Feature (written) / Error (read)
    uint8_t sectorCount;
    uint8_t lbaLow;
    uint8_t lbaMid;
    uint8_t lbaHigh;
    uint8_t device;
    uint8_t command;  // Command (written) / Status (read)
    uint8_t unused;
};
#pragma pack(pop)
static_assert(sizeof(TaskFile) == 8, "ATA task file is 8 registers");

namespace opcodes {
constexpr uint8_t smart = 0xB0;
constexpr uint8_t readDma = 0xC8;
constexpr uint8_t standbyImmediate = 0xE0;
constexpr uint8_t checkPowerMode = 0xE5;
constexpr uint8_t identifyDevice = 0xEC;
}  // namespace opcodes

namespace smartFeatures {
constexpr uint8_t readData = 0xD0;
constexpr uint8_t readThresholds = 0xD1;
constexpr uint8_t executeOfflineImmediate = 0xD4;
constexpr uint8_t signatureMid = 0x4F;
constexpr uint8_t signatureHigh = 0xC2;
}  // namespace smartFeatures

}  // namespace drivekit::commands::ata
