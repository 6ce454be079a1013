// The persistent event log (0x0D): a 512-byte header, then events, each a 24-byte header and
// its data. The drive holds one event of every type in a fixed cycle, repeated until the
// profile's target length, the same whatever the log-specific field (establish, read or
// release the reporting context). A read builds the header and one cycle's template and then
// only the cycles its window touches, with each event's timestamp patched in, so a large log
// read in pieces costs time in proportion to the pieces.
#include <algorithm>
#include <vector>

#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimLogPageGenerators.h"
#include "host/devices/sim/SimLogSlice.h"

namespace host::sim {

namespace {

constexpr uint32_t logHeaderSize = 512;
constexpr uint32_t eventHeaderSize = 24;
constexpr uint8_t eventHeaderLength = eventHeaderSize - 3;  // bytes of the header after byte 2
constexpr uint64_t timestampOriginSetFeatures = 0x02ULL << 48;
constexpr uint64_t eventIntervalMs = 60000;
constexpr uint32_t vendorInformationLength = 12;
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

// The event types in the order the cycle holds them, with the size of each one's data.
struct EventShape {
    EventType type;
    uint16_t dataLength;  // vendor-specific information included
};

const EventShape cycleShapes[] = {
    {powerOnOrReset, 8 + 36},   {timestampChange, 16},   {smartSnapshot, 512},     {firmwareCommit, 22},
    {hardwareError, 4 + 8},     {changeNamespace, 48},   {formatStart, 12},        {formatCompletion, 12},
    {sanitizeStart, 12},        {sanitizeCompletion, 8}, {setFeature, 4 + 16 + 4}, {telemetryCreate, 512},
    {thermalExcursion, 2},      {vendorSpecific, vendorInformationLength + 16},    {tcgDefined, 36},
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

uint64_t firstTimestampMs(const SimProfile& profile) {
    // The drive has been powered for its power-on hours; the log starts a day after that began.
    return 1700000000000ULL + profile.health.powerOnHours * 3600000ULL / 2;
}

uint64_t revision(const std::string& text) {
    uint64_t value = 0;
    for (size_t i = 0; i < 8; ++i) {
        value |= static_cast<uint64_t>(i < text.size() ? static_cast<uint8_t>(text[i]) : ' ') << (8 * i);
    }
    return value;
}

void eventData(SimBytes& data, uint32_t at, EventType type, const SimLogRequest& request) {
    const SimProfile& profile = request.profile;
    const SimHealth& health = profile.health;
    const std::string& current = profile.firmwareSlots.front();
    const std::string& previous = profile.firmwareSlots.size() > 1 ? profile.firmwareSlots[1] : current;
    const uint32_t nsid = profile.namespaces.empty() ? 1 : profile.namespaces.front().id;
    const uint64_t nsBlocks = profile.namespaces.empty() ? 0 : profile.namespaces.front().sizeBlocks;
    switch (type) {
        case smartSnapshot: {
            const SimLogRequest smart{profile, request.state, 0x02, 0, 0, 0xFFFFFFFF, 0, 512};
            data.bytes(at, generateSmartHealth(smart).data.data(), 512);
            break;
        }
        case firmwareCommit:
            data.u64(at, revision(previous));
            data.u64(at + 8, revision(current));
            data.u8(at + 16, 0x01);  // replace and activate at the next reset
            data.u8(at + 17, 1);     // slot
            break;
        case timestampChange:
            data.u64(at, firstTimestampMs(profile) - 1500);
            data.u64(at + 8, 12000);  // milliseconds since the reset
            break;
        case powerOnOrReset:
            data.u64(at, revision(current));
            data.u16(at + 8, 1);                           // controller
            data.u32(at + 8 + 16, health.powerCycles);     // controller power cycle
            data.u64(at + 8 + 20, 850);                    // power-on milliseconds
            data.u64(at + 8 + 28, firstTimestampMs(profile) | timestampOriginSetFeatures);
            break;
        case hardwareError:
            data.u16(at, 0x04);  // link status change; the Link Status register follows:
            data.u16(at + 4, 4 | 4u << 4 | 1u << 12);  // 16 GT/s, x4, common clock
            break;
        case changeNamespace:
            data.u32(at, 0);  // create
            data.u64(at + 8, nsBlocks);
            data.u64(at + 24, nsBlocks);
            data.u32(at + 36, 1);  // ANA group
            data.u16(at + 40, 1);  // NVM set
            data.u32(at + 44, nsid);
            break;
        case formatStart:
            data.u32(at, nsid);
            data.u32(at + 8, 0x200);  // user data erase, LBA format 0
            break;
        case formatCompletion:
            data.u32(at, nsid);
            data.u8(at + 4, 0);      // progress done
            break;
        case sanitizeStart:
            data.u32(at, 0x60000003);  // crypto erase and block erase; no overwrite
            data.u32(at + 4, 0x04);    // crypto erase
            break;
        case sanitizeCompletion:
            data.u16(at, 0xFFFF);
            data.u16(at + 2, 0x0101);  // completed successfully, one pass
            break;
        case setFeature:
            data.u32(at, 4u | 1u << 3);  // four command dwords and the completion dword 0
            data.u32(at + 4, 0x06);      // volatile write cache
            data.u32(at + 8, 1);
            break;
        case telemetryCreate:
            data.u8(at, 0x07);
            data.u8(at + 5, profile.ieeeOui & 0xFF);
            data.u8(at + 6, (profile.ieeeOui >> 8) & 0xFF);
            data.u8(at + 7, (profile.ieeeOui >> 16) & 0xFF);
            data.u16(at + 8, profile.hostTelemetryLastBlocks[0]);
            data.u16(at + 10, profile.hostTelemetryLastBlocks[1]);
            data.u16(at + 12, profile.hostTelemetryLastBlocks[2]);
            data.u8(at + 381, 1);  // host-initiated data generation number
            break;
        case thermalExcursion:
            data.u8(at, 3);                                          // degrees over
            data.u8(at + 1, health.temperatureKelvin > 273 ? 70 : 0);  // threshold in Celsius
            break;
        case vendorSpecific:
            data.u16(at, 0x0101);  // one descriptor: vendor event code,
            data.u8(at + 2, 0x02);  // data as dwords,
            data.u16(at + 4, 4);    // four bytes of it
            data.u32(at + 6, 0xA5A50001);
            for (uint32_t i = 0; i < 16; ++i) {
                data.u8(at + vendorInformationLength + i, 0x30 + i);
            }
            break;
        case tcgDefined:
            data.u16(at + 2, 1);  // command count
            data.bytes(at + 4, lockingSpUid, sizeof(lockingSpUid));    // invoking UID
            data.bytes(at + 12, activateUid, sizeof(activateUid));     // method UID
            data.u16(at + 20, 0x0001);              // ComID
            data.u8(at + 22, 0x01);                 // protocol
            data.u16(at + 24, 5);                   // process time
            break;
    }
}

// One cycle of events, their timestamps those of the first cycle.
drivekit::core::Payload cycleTemplate(const SimLogRequest& request) {
    const CycleLayout& cycle = layout();
    SimBytes data(cycle.size());
    for (uint64_t i = 0; i < cycleEvents; ++i) {
        const auto at = static_cast<uint32_t>(cycle.starts[i]);
        const EventShape& shape = cycleShapes[i];
        data.u8(at, shape.type);
        data.u8(at + 1, 1);  // event type revision
        data.u8(at + 2, eventHeaderLength);
        data.u16(at + 4, 1);   // controller
        data.u16(at + 14, 1);  // port
        data.u16(at + 20, shape.type == vendorSpecific ? vendorInformationLength : 0);
        data.u16(at + 22, shape.dataLength);
        eventData(data, at + eventHeaderSize, shape.type, request);
    }
    return data.payload();
}

drivekit::core::Payload logHeader(const SimLogRequest& request, const LogExtent& log) {
    const SimProfile& profile = request.profile;
    SimBytes data(logHeaderSize);
    data.u8(0, 0x0D);
    data.u32(4, log.events);
    data.u64(8, log.length);
    data.u8(16, 1);  // log revision
    data.u16(18, logHeaderSize);
    data.u64(20, (firstTimestampMs(profile) + log.events * eventIntervalMs) | timestampOriginSetFeatures);
    data.u128(28, profile.health.powerOnHours);
    data.u64(44, profile.health.powerCycles);
    data.u16(52, profile.vendorId);
    data.u16(54, profile.subsystemVendorId);
    data.ascii(56, 20, profile.attributes.readString(definitions::serialNumber().key()));
    data.ascii(76, 40, profile.attributes.readString(definitions::modelNumber().key()));
    const std::string nqn = "nqn.2014-08.org.nvmexpress:" + profile.attributes.readString(definitions::serialNumber().key());
    data.bytes(116, reinterpret_cast<const uint8_t*>(nqn.data()), static_cast<uint32_t>(std::min<size_t>(nqn.size(), 256)));
    data.u16(372, 1);         // generation
    data.u16(374, 1);         // reporting context: port 1,
    data.u8(376, 1u << 2);    // which exists (bit 18 of the field)
    for (const EventShape& shape : cycleShapes) {
        data.u8(480 + shape.type / 8, *data.payload().at(480 + shape.type / 8) | 1u << (shape.type % 8));
    }
    return data.payload();
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
        const drivekit::core::Payload events = cycleTemplate(request);
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
                slice.u64(cycleStart + cycle.starts[i] + 6, stamp | timestampOriginSetFeatures);
            }
        }
    });
}

}  // namespace host::sim
