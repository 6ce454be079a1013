#pragma once
// The fixed parts of each event type's data, packed little-endian as the drive lays them out.
// The field tables render the same bytes; a test holds the tables' offsets to these, so a
// layout that changes here shows wherever either side is out of step.
#include <cstdint>

#include "drivekit/features/nvme_get_log/pel/PelTables.h"

namespace drivekit::features::nvme_get_log::pel {

#pragma pack(push, 1)

struct FirmwareCommitEvent {
    uint8_t oldFirmwareRevision[8];
    uint8_t newFirmwareRevision[8];
    uint8_t firmwareCommitAction;
    uint8_t firmwareSlot;
    uint8_t statusCodeType;
    uint8_t statusReturned;
    uint16_t vendorResultCode;
};
static_assert(sizeof(FirmwareCommitEvent) == 22, "the firmware commit event is 22 bytes");

struct TimestampChangeEvent {
    uint64_t previousTimestamp;
    uint64_t millisecondsSinceReset;
};
static_assert(sizeof(TimestampChangeEvent) == 16, "the timestamp change event is 16 bytes");

// One controller's record after the event's firmware revision.
struct ControllerResetInformation {
    uint16_t controllerId;
    uint8_t firmwareActivation;
    uint8_t operationInProgress;
    uint8_t reserved4[12];
    uint32_t controllerPowerCycleCount;
    uint64_t powerOnMilliseconds;
    uint64_t controllerTimestamp;
};
static_assert(sizeof(ControllerResetInformation) == controllerResetInformationBytes,
              "a controller's reset information is 36 bytes");

// The event as it is for one controller.
struct PowerOnOrResetEvent {
    uint8_t firmwareRevision[8];
    ControllerResetInformation controller;
};
static_assert(sizeof(PowerOnOrResetEvent) == 8 + controllerResetInformationBytes,
              "a one-controller power-on event is 44 bytes");

// The event with a link status change as its additional information.
struct HardwareErrorLinkEvent {
    uint16_t errorEventCode;
    uint8_t reserved2[2];
    uint16_t pcieLinkStatus;
    uint8_t reserved6[6];
};
static_assert(sizeof(HardwareErrorLinkEvent) == 12, "a link status change event is 12 bytes");

struct ChangeNamespaceEvent {
    uint32_t dword10;
    uint8_t reserved4[4];
    uint64_t namespaceSize;
    uint8_t reserved16[8];
    uint64_t namespaceCapacity;
    uint8_t formattedLbaSize;
    uint8_t endToEndProtection;
    uint8_t multiPathIoAndSharing;
    uint8_t reserved35;
    uint32_t anaGroupIdentifier;
    uint16_t nvmSetIdentifier;
    uint8_t reserved42[2];
    uint32_t namespaceId;
};
static_assert(sizeof(ChangeNamespaceEvent) == 48, "the change namespace event is 48 bytes");

struct FormatNvmStartEvent {
    uint32_t namespaceIdentifier;
    uint8_t formatNvmAttributes;
    uint8_t reserved5[3];
    uint32_t dword10;
};
static_assert(sizeof(FormatNvmStartEvent) == 12, "the format start event is 12 bytes");

struct FormatNvmCompletionEvent {
    uint32_t namespaceIdentifier;
    uint8_t smallestFormatProgressIndicator;
    uint8_t formatNvmStatus;
    uint16_t completionInformation;
    uint32_t statusField;
};
static_assert(sizeof(FormatNvmCompletionEvent) == 12, "the format completion event is 12 bytes");

struct SanitizeStartEvent {
    uint32_t sanicap;
    uint32_t dword10;
    uint32_t dword11;
};
static_assert(sizeof(SanitizeStartEvent) == 12, "the sanitize start event is 12 bytes");

struct SanitizeCompletionEvent {
    uint16_t sanitizeProgress;
    uint16_t sanitizeStatus;
    uint16_t completionInformation;
    uint8_t reserved6[2];
};
static_assert(sizeof(SanitizeCompletionEvent) == 8, "the sanitize completion event is 8 bytes");

// The event with four command dwords and the completion's dword 0 logged, no memory buffer.
struct SetFeatureEventFourDwords {
    uint32_t layout;
    uint32_t commandDwords[4];
    uint32_t completionDword0;
};
static_assert(sizeof(SetFeatureEventFourDwords) == setFeatureLayoutBytes + 4 * 4 + 4,
              "a four-dword set feature event is 24 bytes");

// The header of the telemetry log the event captured.
struct TelemetryLogCreateEvent {
    uint8_t logIdentifier;
    uint8_t reserved1[4];
    uint8_t ieeeOuiIdentifier[3];
    uint16_t dataAreaLastBlock1;
    uint16_t dataAreaLastBlock2;
    uint16_t dataAreaLastBlock3;
    uint8_t reserved14[367];
    uint8_t hostInitiatedDataGenerationNumber;
    uint8_t controllerInitiatedDataAvailable;
    uint8_t controllerInitiatedDataGenerationNumber;
    uint8_t reasonIdentifier[128];
};
static_assert(sizeof(TelemetryLogCreateEvent) == 512, "the telemetry log create event is 512 bytes");

struct ThermalExcursionEvent {
    uint8_t overTemperature;
    uint8_t threshold;
};
static_assert(sizeof(ThermalExcursionEvent) == 2, "the thermal excursion event is 2 bytes");

struct TcgDefinedEvent {
    uint8_t reserved0[2];
    uint16_t tcgCommandCount;
    uint8_t invokingId[8];
    uint8_t methodId[8];
    uint16_t comId;
    uint8_t protocolId;
    uint8_t status;
    uint16_t processTime;
    uint8_t activitySpecificContext[10];
};
static_assert(sizeof(TcgDefinedEvent) == 36, "the TCG defined event is 36 bytes");

// The header of a vendor-specific event descriptor; its data follows.
struct VendorDescriptorHeader {
    uint16_t eventCode;
    uint8_t eventDataType;
    uint8_t uuidIndex;
    uint16_t eventDataLength;
};
static_assert(sizeof(VendorDescriptorHeader) == vendorDescriptorHeaderBytes, "a descriptor header is 6 bytes");

#pragma pack(pop)

}  // namespace drivekit::features::nvme_get_log::pel
