#pragma once
// The storage driver's request and answer structures as 64-bit Windows lays them out, and the
// control codes that carry them. Plain packed structs of fixed-width numbers, so that requests
// are built and answers read the same way on every platform.
#include <cstddef>
#include <cstdint>

#include "drivekit/commands/ata/TaskFile.h"

namespace host::win_drives {

// How a control code is made of its device type, function, method and access.
constexpr uint32_t controlCode(uint32_t deviceType, uint32_t function, uint32_t method, uint32_t access) {
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

namespace control_codes {
constexpr uint32_t massStorage = 0x2D;
constexpr uint32_t controller = 0x04;
constexpr uint32_t buffered = 0;
constexpr uint32_t anyAccess = 0;
constexpr uint32_t writeAccess = 2;
constexpr uint32_t readWriteAccess = 3;

constexpr uint32_t storageQueryProperty = controlCode(massStorage, 0x500, buffered, anyAccess);
constexpr uint32_t storageSetProperty = controlCode(massStorage, 0x503, buffered, writeAccess);
constexpr uint32_t storageProtocolCommand = controlCode(massStorage, 0x4F0, buffered, readWriteAccess);
constexpr uint32_t ataPassThrough = controlCode(controller, 0x40B, buffered, readWriteAccess);
}  // namespace control_codes

// Property identifiers and query types of a property query.
enum class StorageProperty : uint32_t {
    device = 0,
    adapter = 1,
    adapterProtocolSpecific = 49,
    deviceProtocolSpecific = 50,
};
constexpr uint32_t standardQuery = 0;

enum class ProtocolType : uint32_t { unknown = 0, scsi = 1, ata = 2, nvme = 3 };
enum class NvmeDataType : uint32_t { unknown = 0, identify = 1, logPage = 2, feature = 3 };

#pragma pack(push, 1)

// The head of a property query; the query's additional parameters follow it.
struct StoragePropertyQueryHeader {
    uint32_t propertyId;
    uint32_t queryType;
};
static_assert(sizeof(StoragePropertyQueryHeader) == 8, "property query head");

// What a protocol-specific query asks for, and in the answer where the data lies: the data
// offset counts from the start of this structure.
struct StorageProtocolSpecificData {
    uint32_t protocolType;
    uint32_t dataType;
    uint32_t requestValue;
    uint32_t requestSubValue;
    uint32_t dataOffset;
    uint32_t dataLength;
    uint32_t fixedReturnData;
    uint32_t requestSubValue2;
    uint32_t requestSubValue3;
    uint32_t requestSubValue4;
};
static_assert(sizeof(StorageProtocolSpecificData) == 40, "protocol-specific data");
static_assert(offsetof(StorageProtocolSpecificData, dataOffset) == 16, "data offset");
static_assert(offsetof(StorageProtocolSpecificData, requestSubValue4) == 36, "fourth sub-value");

// The answer to a protocol-specific query: the query's structure again, filled in.
struct StorageProtocolDataDescriptor {
    uint32_t version;
    uint32_t size;
    StorageProtocolSpecificData data;
};
static_assert(sizeof(StorageProtocolDataDescriptor) == 48, "protocol data descriptor");

// The fixed part of the device descriptor; its strings follow it, found by their offsets from
// the descriptor's start (0: absent).
struct StorageDeviceDescriptor {
    uint32_t version;
    uint32_t size;
    uint8_t deviceType;
    uint8_t deviceTypeModifier;
    uint8_t removableMedia;
    uint8_t commandQueueing;
    uint32_t vendorIdOffset;
    uint32_t productIdOffset;
    uint32_t productRevisionOffset;
    uint32_t serialNumberOffset;
    uint32_t busType;
    uint32_t rawPropertiesLength;
};
static_assert(sizeof(StorageDeviceDescriptor) == 36, "device descriptor without its raw properties");
static_assert(offsetof(StorageDeviceDescriptor, serialNumberOffset) == 24, "serial number offset");
static_assert(offsetof(StorageDeviceDescriptor, busType) == 28, "bus type");

// The head of a property set; what is set follows it.
struct StoragePropertySetHeader {
    uint32_t propertyId;
    uint32_t setType;
};
static_assert(sizeof(StoragePropertySetHeader) == 8, "property set head");
constexpr uint32_t standardSet = 0;

// What a protocol-specific set carries (and, in the answer, the fixed return data): the
// protocol-specific data with two more sub-values, for the command's dwords 14 and 15.
struct StorageProtocolSpecificDataExt {
    uint32_t protocolType;
    uint32_t dataType;
    uint32_t protocolDataValue;
    uint32_t protocolDataSubValue;
    uint32_t protocolDataOffset;
    uint32_t protocolDataLength;
    uint32_t fixedProtocolReturnData;
    uint32_t protocolDataSubValue2;
    uint32_t protocolDataSubValue3;
    uint32_t protocolDataSubValue4;
    uint32_t protocolDataSubValue5;
    uint32_t reserved[5];
};
static_assert(sizeof(StorageProtocolSpecificDataExt) == 64, "protocol-specific data, extended");
static_assert(offsetof(StorageProtocolSpecificDataExt, protocolDataSubValue5) == 40, "fifth sub-value");

struct StorageProtocolDataDescriptorExt {
    uint32_t version;
    uint32_t size;
    StorageProtocolSpecificDataExt data;
};
static_assert(sizeof(StorageProtocolDataDescriptorExt) == 72, "protocol data descriptor, extended");

// A protocol command; the command itself follows at commandOffset, the data after it.
struct StorageProtocolCommand {
    uint32_t version;
    uint32_t length;
    uint32_t protocolType;
    uint32_t flags;
    uint32_t returnStatus;
    uint32_t errorCode;
    uint32_t commandLength;
    uint32_t errorInfoLength;
    uint32_t dataToDeviceTransferLength;
    uint32_t dataFromDeviceTransferLength;
    uint32_t timeOutValue;
    uint32_t errorInfoOffset;
    uint32_t dataToDeviceBufferOffset;
    uint32_t dataFromDeviceBufferOffset;
    uint32_t commandSpecific;
    uint32_t reserved0;
    uint32_t fixedProtocolReturnData;
    uint32_t reserved1[3];
};
static_assert(sizeof(StorageProtocolCommand) == 80, "protocol command head");
static_assert(offsetof(StorageProtocolCommand, dataFromDeviceBufferOffset) == 52, "data-in offset");
static_assert(offsetof(StorageProtocolCommand, fixedProtocolReturnData) == 64, "fixed return data");
// The structure as the system declares it, with its one-byte command array: its length field.
constexpr uint32_t storageProtocolCommandSize = 84;

namespace protocol_command {
constexpr uint32_t structureVersion = 1;
constexpr uint32_t adapterRequest = 0x80000000;
constexpr uint32_t nvmeAdminCommand = 0x01;
constexpr uint32_t nvmeCommandLength = 64;
constexpr uint32_t statusSuccess = 0x01;
}  // namespace protocol_command

// The ATA pass-through request of a 64-bit process: the data buffer offset is pointer-sized and
// aligned, which leaves four bytes of padding before it.
struct AtaPassThroughEx {
    uint16_t length;
    uint16_t ataFlags;
    uint8_t pathId;
    uint8_t targetId;
    uint8_t lun;
    uint8_t reservedAsUchar;
    uint32_t dataTransferLength;
    uint32_t timeOutValue;
    uint32_t reservedAsUlong;
    uint32_t padding;
    uint64_t dataBufferOffset;
    drivekit::commands::ata::TaskFile previousTaskFile;
    drivekit::commands::ata::TaskFile currentTaskFile;
};
static_assert(sizeof(AtaPassThroughEx) == 48, "ATA pass-through of a 64-bit process");
static_assert(offsetof(AtaPassThroughEx, dataBufferOffset) == 24, "data buffer offset");
static_assert(offsetof(AtaPassThroughEx, currentTaskFile) == 40, "current task file");

namespace ata_flags {
constexpr uint16_t driveReadyRequired = 0x01;
constexpr uint16_t dataIn = 0x02;
constexpr uint16_t dataOut = 0x04;
constexpr uint16_t command48Bit = 0x08;
constexpr uint16_t useDma = 0x10;
}  // namespace ata_flags

#pragma pack(pop)

}  // namespace host::win_drives
