#pragma once
// Fixed records inside the Identify structures. Packed little-endian; their sizes are the
// strides the field tables and list decoders use.
#include <cstdint>

namespace drivekit::features::identify::decode {

#pragma pack(push, 1)

struct PowerStateDescriptor {
    uint16_t maximumPower;
    uint8_t reserved2;
    uint8_t flags;
    uint32_t entryLatency;
    uint32_t exitLatency;
    uint8_t relativeReadThroughput;
    uint8_t relativeReadLatency;
    uint8_t relativeWriteThroughput;
    uint8_t relativeWriteLatency;
    uint16_t idlePower;
    uint8_t idlePowerScale;
    uint8_t reserved19;
    uint16_t activePower;
    uint8_t activePowerWorkloadScale;
    uint8_t reserved23[9];
};
static_assert(sizeof(PowerStateDescriptor) == 32, "power state descriptor is 32 bytes");

struct LbaFormat {
    uint16_t metadataSize;
    uint8_t lbaDataSize;
    uint8_t relativePerformance;
};
static_assert(sizeof(LbaFormat) == 4, "LBA format is 4 bytes");

struct NamespaceIdDescriptorHeader {
    uint8_t type;
    uint8_t length;
    uint16_t reserved;
};
static_assert(sizeof(NamespaceIdDescriptorHeader) == 4, "descriptor header is 4 bytes");

struct ControllerListHeader {
    uint16_t numberOfIdentifiers;
};
static_assert(sizeof(ControllerListHeader) == 2, "controller list header is 2 bytes");

struct SecondaryControllerListHeader {
    uint8_t numberOfIdentifiers;
    uint8_t reserved[31];
};
static_assert(sizeof(SecondaryControllerListHeader) == 32, "secondary list header is 32 bytes");

struct SecondaryControllerEntry {
    uint16_t secondaryControllerId;
    uint16_t primaryControllerId;
    uint8_t state;
    uint8_t reserved5[3];
    uint16_t virtualFunctionNumber;
    uint16_t flexibleQueueResources;
    uint16_t flexibleInterruptResources;
    uint8_t reserved14[18];
};
static_assert(sizeof(SecondaryControllerEntry) == 32, "secondary controller entry is 32 bytes");

struct NamespaceGranularityDescriptor {
    uint64_t sizeGranularity;
    uint64_t capacityGranularity;
};
static_assert(sizeof(NamespaceGranularityDescriptor) == 16, "granularity descriptor is 16 bytes");

struct UuidListEntry {
    uint8_t association;
    uint8_t reserved[15];
    uint8_t uuid[16];
};
static_assert(sizeof(UuidListEntry) == 32, "UUID list entry is 32 bytes");

// The UUID List: a reserved header the size of one entry, then the entries; the list ends
// at the first entry whose UUID is all zero.
constexpr uint32_t uuidListEntries = 127;
struct UuidListStructure {
    uint8_t reserved[32];
    UuidListEntry entries[uuidListEntries];
};
static_assert(sizeof(UuidListStructure) == 4096, "UUID list is 4096 bytes");

struct CommandSetVector {
    uint64_t commandSets;
};
static_assert(sizeof(CommandSetVector) == 8, "command set vector is 8 bytes");

// The NVM set and domain lists: a count byte in a 128-byte header, then 128-byte entries.
struct AttributesListHeader {
    uint8_t numberOfEntries;
    uint8_t reserved[127];
};
static_assert(sizeof(AttributesListHeader) == 128, "attributes list header is 128 bytes");

struct NvmSetAttributesEntry {
    uint16_t nvmSetId;
    uint16_t enduranceGroupId;
    uint8_t reserved4[4];
    uint32_t random4KiBReadTypical;
    uint32_t optimalWriteSize;
    uint8_t totalCapacity[16];
    uint8_t unallocatedCapacity[16];
    uint8_t reserved48[80];
};
static_assert(sizeof(NvmSetAttributesEntry) == 128, "NVM set attributes entry is 128 bytes");

struct DomainAttributesEntry {
    uint16_t domainId;
    uint8_t reserved2[14];
    uint8_t capacity[16];
    uint8_t unallocatedCapacity[16];
    uint8_t maxEnduranceGroupCapacity[16];
    uint8_t reserved64[64];
};
static_assert(sizeof(DomainAttributesEntry) == 128, "domain attributes entry is 128 bytes");

#pragma pack(pop)

// Every NVMe Identify structure is one 4096-byte data transfer.
constexpr uint32_t nvmeIdentifySize = 4096;
// ATA IDENTIFY DEVICE returns one 512-byte sector of 256 words.
constexpr uint32_t ataIdentifySize = 512;

}  // namespace drivekit::features::identify::decode
