#pragma once
// The first 512 bytes (block 0) of a telemetry log, host- or controller-initiated: the last
// block of each data area and the data generation numbers. Blocks are 512 bytes; the last
// block of an area counts from the start of the log.
#include <cstdint>

namespace drivekit::features::telemetry {

#pragma pack(push, 1)
struct TelemetryHeader {
    uint8_t logId;
    uint8_t reserved1[4];
    uint8_t ieeeOui[3];
    uint16_t dataAreaLastBlock[3];  // data areas 1, 2 and 3
    uint8_t reserved14[2];
    uint32_t dataArea4LastBlock;
    uint8_t reserved20[361];
    uint8_t hostDataGenerationNumber;
    uint8_t controllerDataAvailable;
    uint8_t controllerDataGenerationNumber;
    uint8_t reasonIdentifier[128];
};
#pragma pack(pop)
static_assert(sizeof(TelemetryHeader) == 512);

constexpr uint32_t telemetryBlockBytes = 512;

// The last block of the highest data area up to dataArea that the header fills: area 4's
// 32-bit field when data area 4 is asked for and set, else the first non-zero 16-bit field
// from min(dataArea, 3) down to 1; 0 when none is set (the log is its header block alone).
inline uint64_t lastBlock(const TelemetryHeader& header, uint32_t dataArea) {
    if (dataArea >= 4 && header.dataArea4LastBlock != 0) {
        return header.dataArea4LastBlock;
    }
    for (uint32_t area = dataArea < 3 ? dataArea : 3; area >= 1; --area) {
        if (header.dataAreaLastBlock[area - 1] != 0) {
            return header.dataAreaLastBlock[area - 1];
        }
    }
    return 0;
}

// The data generation number of the log: it changes whenever the drive captures new data.
inline uint8_t dataGenerationNumber(const TelemetryHeader& header, bool hostInitiated) {
    return hostInitiated ? header.hostDataGenerationNumber : header.controllerDataGenerationNumber;
}

}  // namespace drivekit::features::telemetry
