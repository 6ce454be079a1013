// The persistent event log (0x0D): a 512-byte header, then events, each a 24-byte header and
// its data. The drive holds one event of every type in a fixed cycle, repeated until the
// profile's target length, the same whatever the log-specific field (establish, read or
// release the reporting context). A read builds the header and one cycle's template and then
// only the cycles its window touches, with each event's timestamp patched in, so a large log
// read in pieces costs time in proportion to the pieces. Every record is one of the layouts
// the log's decoder reads.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "drivekit/features/nvme_get_log/pel/PelEventRecords.h"
#include "drivekit/features/nvme_get_log/pel/PelRecords.h"
#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimLogPageGenerators.h"
#include "host/devices/sim/SimLogSlice.h"

namespace host::sim {

namespace {

namespace pel = drivekit::features::nvme_get_log::pel;
using drivekit::core::Payload;

constexpr uint32_t logHeaderSize = pel::logHeaderBytes;
constexpr uint32_t eventHeaderSize = pel::eventHeaderBytes;
constexpr uint32_t smartSnapshotBytes = 512;
constexpr uint64_t timestampOriginSetFeatures = 0x02ULL << 48;
constexpr uint64_t eventIntervalMs = 60000;
constexpr uint32_t eventTimestampOffset = offsetof(pel::PersistentEventHeader, eventTimestamp);
// TCG UIDs are byte strings, most significant byte first.
const uint8_t lockingSpUid[8] = {0x00, 0x00, 0x02, 0x05, 0x00, 0x00, 0x00, 0x02};
const uint8_t activateUid[8] = {0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x02, 0x03};

enum EventType : uint8_t {
    smartSnapshot = 0x01,
    firmwareCommit = 0x02,
    timestampChange = 0x03,
    powerOnOrReset = 0x04,
    hardwareError = 0x05,
    changeNamespace = 0x06,
    formatStart = 0x07,
    formatCompletion = 0x08,
    sanitizeStart = 0x09,
    sanitizeCompletion = 0x0A,
    setFeature = 0x0B,
    telemetryCreate = 0x0C,
    thermalExcursion = 0x0D,
    vendorSpecific = 0xDE,
    tcgDefined = 0xDF,
};

#pragma pack(push, 1)
// The drive's one vendor event: vendor-specific information holding one descriptor with a
// dword of data (padded to a dword multiple), then the vendor's own data.
struct VendorEvent {
    pel::VendorDescriptorHeader descriptor;
    uint32_t descriptorData;
    uint8_t padding[2];
    uint8_t vendorData[16];
};
#pragma pack(pop)
constexpr uint16_t vendorInformationLength = offsetof(VendorEvent, vendorData);

template <typename Record>
Payload bytesOf(const Record& record) {
    Payload payload(sizeof(Record));
    std::memcpy(payload.data(), &record, sizeof(Record));
    return payload;
}

template <size_t N>
void fillAscii(uint8_t (&field)[N], const std::string& text) {
    for (size_t i = 0; i < N; ++i) {
        field[i] = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
    }
}

uint64_t firstTimestampMs(const SimProfile& profile) {
    // The drive has been powered for its power-on hours; the log starts a day after that began.
    return 1700000000000ULL + profile.health.powerOnHours * 3600000ULL / 2;
}

const std::string& currentFirmware(const SimProfile& profile) { return profile.firmwareSlots.front(); }

uint32_t firstNamespaceId(const SimProfile& profile) {
    return profile.namespaces.empty() ? 1 : profile.namespaces.front().id;
}

Payload smartSnapshotEvent(const SimLogRequest& request) {
    const SimLogRequest smart{request.profile, request.state, 0x02, 0, 0, 0xFFFFFFFF, 0, smartSnapshotBytes};
    return generateSmartHealth(smart).data;
}

Payload firmwareCommitEvent(const SimLogRequest& request) {
    const auto& slots = request.profile.firmwareSlots;
    pel::FirmwareCommitEvent event{};
    fillAscii(event.oldFirmwareRevision, slots.size() > 1 ? slots[1] : slots.front());
    fillAscii(event.newFirmwareRevision, slots.front());
    event.firmwareCommitAction = 0x01;  // replace and activate at the next reset
    event.firmwareSlot = 1;
    return bytesOf(event);
}

Payload timestampChangeEvent(const SimLogRequest& request) {
    pel::TimestampChangeEvent event{};
    event.previousTimestamp = firstTimestampMs(request.profile) - 1500;
    event.millisecondsSinceReset = 12000;
    return bytesOf(event);
}

Payload powerOnOrResetEvent(const SimLogRequest& request) {
    pel::PowerOnOrResetEvent event{};
    fillAscii(event.firmwareRevision, currentFirmware(request.profile));
    event.controller.controllerId = 1;
    event.controller.controllerPowerCycleCount = static_cast<uint32_t>(request.profile.health.powerCycles);
    event.controller.powerOnMilliseconds = 850;
    event.controller.controllerTimestamp = firstTimestampMs(request.profile) | timestampOriginSetFeatures;
    return bytesOf(event);
}

Payload hardwareErrorEvent(const SimLogRequest&) {
    pel::HardwareErrorLinkEvent event{};
    event.errorEventCode = 0x04;                       // link status change
    event.pcieLinkStatus = 4 | 4u << 4 | 1u << 12;     // 16 GT/s, x4, common clock
    return bytesOf(event);
}

Payload changeNamespaceEvent(const SimLogRequest& request) {
    const SimProfile& profile = request.profile;
    const uint64_t blocks = profile.namespaces.empty() ? 0 : profile.namespaces.front().sizeBlocks;
    pel::ChangeNamespaceEvent event{};
    event.dword10 = 0;  // create
    event.namespaceSize = blocks;
    event.namespaceCapacity = blocks;
    event.anaGroupIdentifier = 1;
    event.nvmSetIdentifier = 1;
    event.namespaceId = firstNamespaceId(profile);
    return bytesOf(event);
}

Payload formatStartEvent(const SimLogRequest& request) {
    pel::FormatNvmStartEvent event{};
    event.namespaceIdentifier = firstNamespaceId(request.profile);
    event.dword10 = 0x200;  // user data erase, LBA format 0
    return bytesOf(event);
}

Payload formatCompletionEvent(const SimLogRequest& request) {
    pel::FormatNvmCompletionEvent event{};
    event.namespaceIdentifier = firstNamespaceId(request.profile);  // progress: done
    return bytesOf(event);
}

Payload sanitizeStartEvent(const SimLogRequest&) {
    pel::SanitizeStartEvent event{};
    event.sanicap = 0x60000003;  // crypto erase and block erase; no overwrite
    event.dword10 = 0x04;        // crypto erase
    return bytesOf(event);
}

Payload sanitizeCompletionEvent(const SimLogRequest&) {
    pel::SanitizeCompletionEvent event{};
    event.sanitizeProgress = 0xFFFF;
    event.sanitizeStatus = 0x0101;  // completed successfully, one pass
    return bytesOf(event);
}

Payload setFeatureEvent(const SimLogRequest&) {
    pel::SetFeatureEventFourDwords event{};
    event.layout = 4u | 1u << 3;  // four command dwords and the completion dword 0
    event.commandDwords[0] = 0x06;  // volatile write cache
    event.commandDwords[1] = 1;
    return bytesOf(event);
}

Payload telemetryCreateEvent(const SimLogRequest& request) {
    const SimProfile& profile = request.profile;
    pel::TelemetryLogCreateEvent event{};
    event.logIdentifier = 0x07;
    for (size_t i = 0; i < sizeof(event.ieeeOuiIdentifier); ++i) {
        event.ieeeOuiIdentifier[i] = static_cast<uint8_t>(profile.ieeeOui >> (8 * i));
    }
    event.dataAreaLastBlock1 = static_cast<uint16_t>(profile.hostTelemetryLastBlocks[0]);
    event.dataAreaLastBlock2 = static_cast<uint16_t>(profile.hostTelemetryLastBlocks[1]);
    event.dataAreaLastBlock3 = static_cast<uint16_t>(profile.hostTelemetryLastBlocks[2]);
    event.hostInitiatedDataGenerationNumber = 1;
    return bytesOf(event);
}

Payload thermalExcursionEvent(const SimLogRequest& request) {
    pel::ThermalExcursionEvent event{};
    event.overTemperature = 3;  // degrees over
    event.threshold = request.profile.health.temperatureKelvin > 273 ? 70 : 0;  // in Celsius
    return bytesOf(event);
}

Payload vendorSpecificEvent(const SimLogRequest&) {
    VendorEvent event{};
    event.descriptor.eventCode = 0x0101;
    event.descriptor.eventDataType = 0x02;  // dwords
    event.descriptor.eventDataLength = sizeof(event.descriptorData);
    event.descriptorData = 0xA5A50001;
    for (uint8_t i = 0; i < sizeof(event.vendorData); ++i) {
        event.vendorData[i] = static_cast<uint8_t>(0x30 + i);
    }
    return bytesOf(event);
}

Payload tcgDefinedEvent(const SimLogRequest&) {
    pel::TcgDefinedEvent event{};
    event.tcgCommandCount = 1;
    std::memcpy(event.invokingId, lockingSpUid, sizeof(event.invokingId));
    std::memcpy(event.methodId, activateUid, sizeof(event.methodId));
    event.comId = 0x0001;
    event.protocolId = 0x01;
    event.processTime = 5;
    return bytesOf(event);
}

// The event types in the order the cycle holds them, with the size of each one's data
// (vendor-specific information included) and what it holds.
struct EventShape {
    EventType type;
    uint16_t dataLength;
    Payload (*data)(const SimLogRequest& request);
};

const EventShape cycleShapes[] = {
    {powerOnOrReset, sizeof(pel::PowerOnOrResetEvent), powerOnOrResetEvent},
    {timestampChange, sizeof(pel::TimestampChangeEvent), timestampChangeEvent},
    {smartSnapshot, smartSnapshotBytes, smartSnapshotEvent},
    {firmwareCommit, sizeof(pel::FirmwareCommitEvent), firmwareCommitEvent},
    {hardwareError, sizeof(pel::HardwareErrorLinkEvent), hardwareErrorEvent},
    {changeNamespace, sizeof(pel::ChangeNamespaceEvent), changeNamespaceEvent},
    {formatStart, sizeof(pel::FormatNvmStartEvent), formatStartEvent},
    {formatCompletion, sizeof(pel::FormatNvmCompletionEvent), formatCompletionEvent},
    {sanitizeStart, sizeof(pel::SanitizeStartEvent), sanitizeStartEvent},
    {sanitizeCompletion, sizeof(pel::SanitizeCompletionEvent), sanitizeCompletionEvent},
    {setFeature, sizeof(pel::SetFeatureEventFourDwords), setFeatureEvent},
    {telemetryCreate, sizeof(pel::TelemetryLogCreateEvent), telemetryCreateEvent},
    {thermalExcursion, sizeof(pel::ThermalExcursionEvent), thermalExcursionEvent},
    {vendorSpecific, sizeof(VendorEvent), vendorSpecificEvent},
    {tcgDefined, sizeof(pel::TcgDefinedEvent), tcgDefinedEvent},
};
constexpr uint64_t cycleEvents = sizeof(cycleShapes) / sizeof(cycleShapes[0]);

// Where events start in a cycle, and the cycle's size.
struct CycleLayout {
    uint64_t starts[cycleEvents + 1];
    CycleLayout() {
        starts[0] = 0;
        for (uint64_t i = 0; i < cycleEvents; ++i) {
            starts[i + 1] = starts[i] + eventHeaderSize + cycleShapes[i].dataLength;
        }
    }
    uint64_t size() const { return starts[cycleEvents]; }
};

const CycleLayout& layout() {
    static const CycleLayout cycle;
    return cycle;
}

// How many events the log holds and how long it is: whole cycles and the part of one more
// that fit the profile's target, and never less than one cycle.
struct LogExtent {
    uint64_t events;
    uint64_t length;
};

LogExtent extent(const SimProfile& profile) {
    const CycleLayout& cycle = layout();
    const uint64_t target = profile.persistentEventLogBytes;
    if (target < logHeaderSize + cycle.size()) {
        return {cycleEvents, logHeaderSize + cycle.size()};
    }
    const uint64_t cycles = (target - logHeaderSize) / cycle.size();
    const uint64_t rest = (target - logHeaderSize) % cycle.size();
    uint64_t extra = 0;
    while (extra < cycleEvents && cycle.starts[extra + 1] <= rest) {
        ++extra;
    }
    return {cycles * cycleEvents + extra, logHeaderSize + cycles * cycle.size() + cycle.starts[extra]};
}

pel::PersistentEventHeader eventHeader(const EventShape& shape) {
    pel::PersistentEventHeader header{};
    header.eventType = shape.type;
    header.eventTypeRevision = 1;
    header.eventHeaderLength = eventHeaderSize - pel::eventHeaderLengthBase;
    header.controllerIdentifier = 1;
    header.portIdentifier = 1;
    header.vendorSpecificInformationLength = shape.type == vendorSpecific ? vendorInformationLength : 0;
    header.eventLength = shape.dataLength;
    return header;
}

// One cycle of events, their timestamps those of the first cycle.
Payload cycleTemplate(const SimLogRequest& request) {
    const CycleLayout& cycle = layout();
    SimBytes data(cycle.size());
    for (uint64_t i = 0; i < cycleEvents; ++i) {
        const auto at = static_cast<uint32_t>(cycle.starts[i]);
        const EventShape& shape = cycleShapes[i];
        data.bytes(at, bytesOf(eventHeader(shape)).data(), eventHeaderSize);
        const Payload event = shape.data(request);
        data.bytes(at + eventHeaderSize, event.data(), std::min<uint32_t>(event.size(), shape.dataLength));
    }
    return data.payload();
}

Payload logHeader(const SimLogRequest& request, const LogExtent& log) {
    const SimProfile& profile = request.profile;
    const std::string serial = profile.attributes.readString(definitions::serialNumber().key());
    pel::PersistentEventLogHeader header{};
    header.logIdentifier = 0x0D;
    header.totalNumberOfEvents = static_cast<uint32_t>(log.events);
    header.totalLogLength = log.length;
    header.logRevision = 1;
    header.logHeaderLength = logHeaderSize;
    header.timestamp = (firstTimestampMs(profile) + log.events * eventIntervalMs) | timestampOriginSetFeatures;
    std::memcpy(header.powerOnHours, &profile.health.powerOnHours, sizeof(profile.health.powerOnHours));
    header.powerCycleCount = profile.health.powerCycles;
    header.pciVendorId = profile.vendorId;
    header.pciSubsystemVendorId = profile.subsystemVendorId;
    fillAscii(header.serialNumber, serial);
    fillAscii(header.modelNumber, profile.attributes.readString(definitions::modelNumber().key()));
    const std::string nqn = "nqn.2014-08.org.nvmexpress:" + serial;
    std::memcpy(header.subsystemQualifiedName, nqn.data(), std::min(nqn.size(), sizeof(header.subsystemQualifiedName)));
    header.generationNumber = 1;
    header.reportingContext = 1u | 1u << 18;  // port 1, which exists
    for (const EventShape& shape : cycleShapes) {
        header.supportedEventsBitmap[shape.type / 8] |= static_cast<uint8_t>(1u << (shape.type % 8));
    }
    return bytesOf(header);
}

}  // namespace

SimResponse generatePersistentEventLog(const SimLogRequest& request) {
    const LogExtent log = extent(request.profile);
    return answerSlice(request, log.length, [&](SimLogSlice& slice) {
        if (slice.overlaps(0, logHeaderSize)) {
            slice.bytes(0, logHeader(request, log));
        }
        if (slice.end() <= logHeaderSize) {
            return;
        }
        const CycleLayout& cycle = layout();
        const Payload events = cycleTemplate(request);
        const uint64_t firstCycle = slice.begin() <= logHeaderSize ? 0 : (slice.begin() - logHeaderSize) / cycle.size();
        const uint64_t eventsEnd = log.length;
        for (uint64_t k = firstCycle;; ++k) {
            const uint64_t cycleStart = logHeaderSize + k * cycle.size();
            if (cycleStart >= std::min(slice.end(), eventsEnd)) {
                break;
            }
            // The last cycle may hold only its first events.
            const uint64_t held = std::min(cycleEvents, log.events - k * cycleEvents);
            slice.bytes(cycleStart, events.data(), cycle.starts[held]);
            for (uint64_t i = 0; i < held; ++i) {
                const uint64_t stamp = firstTimestampMs(request.profile) + (k * cycleEvents + i) * eventIntervalMs;
                slice.u64(cycleStart + cycle.starts[i] + eventTimestampOffset, stamp | timestampOriginSetFeatures);
            }
        }
    });
}

}  // namespace host::sim
