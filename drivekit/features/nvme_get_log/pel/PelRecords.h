#pragma once
// The two headers the event walk reads numbers from. Packed little-endian; the field tables
// describe them field by field for display.
#include <cstdint>

#include "drivekit/features/nvme_get_log/pel/PelTables.h"

namespace drivekit::features::nvme_get_log::pel {

#pragma pack(push, 1)

struct PersistentEventLogHeader {
    uint8_t logIdentifier;
    uint8_t reserved1[3];
    uint32_t totalNumberOfEvents;
    uint64_t totalLogLength;
    uint8_t logRevision;
    uint8_t reserved17;
    uint16_t logHeaderLength;
    uint64_t timestamp;
    uint8_t powerOnHours[16];
    uint64_t powerCycleCount;
    uint16_t pciVendorId;
    uint16_t pciSubsystemVendorId;
    uint8_t serialNumber[20];
    uint8_t modelNumber[40];
    uint8_t subsystemQualifiedName[256];
    uint16_t generationNumber;
    uint32_t reportingContext;
    uint8_t reserved378[102];
    uint8_t supportedEventsBitmap[32];
};
static_assert(sizeof(PersistentEventLogHeader) == logHeaderBytes, "the log header is 512 bytes");

struct PersistentEventHeader {
    uint8_t eventType;
    uint8_t eventTypeRevision;
    uint8_t eventHeaderLength;  // bytes of the header after this field
    uint8_t eventHeaderAdditionalInformation;
    uint16_t controllerIdentifier;
    uint64_t eventTimestamp;
    uint16_t portIdentifier;
    uint8_t reserved16[4];
    uint16_t vendorSpecificInformationLength;
    uint16_t eventLength;  // bytes after the header, vendor-specific information included
};
static_assert(sizeof(PersistentEventHeader) == eventHeaderBytes, "an event header is 24 bytes");

#pragma pack(pop)

}  // namespace drivekit::features::nvme_get_log::pel
