// Generators of the standard fixed-size log pages: supported pages, error information, SMART /
// health, firmware slots, changed namespaces, command effects, self-test results, endurance
// group information and sanitize status. Each is small, so it is built whole and cut.
#include <algorithm>

#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimLogPageGenerators.h"
#include "host/devices/sim/SimLogSlice.h"

namespace host::sim {

namespace {

constexpr uint32_t errorEntrySize = 64;
constexpr uint32_t supportedBit = 1u;
// Supported Log Pages, telemetry host-initiated entry: data area 4 can be reported.
constexpr uint32_t telemetryDataArea4Bit = 1u << 16;
constexpr uint32_t selfTestEntries = 20;
constexpr uint32_t selfTestEntrySize = 28;
constexpr uint8_t selfTestUnused = 0x0F;

uint16_t enduranceGroup(const SimProfile& profile) {
    return profile.attributes.readUint16(definitions::enduranceGroupIdentifier().key());
}

}  // namespace

SimResponse generateSupportedLogPages(const SimLogRequest& request) {
    SimBytes data(1024);
    for (const auto& row : SimLogPages::table()) {
        if (row.supported != nullptr && !row.supported(request.profile)) {
            continue;
        }
        uint32_t entry = supportedBit;
        if (row.logId == 0x07 && request.profile.hostTelemetryLastBlocks[3] != 0) {
            entry |= telemetryDataArea4Bit;
        }
        data.u32(4u * row.logId, entry);
    }
    return cutPage(data.payload(), request);
}

SimResponse generateErrorInformation(const SimLogRequest& request) {
    const uint32_t capacity = request.profile.attributes.readUint8(definitions::numErrorLogPageEntries().key()) + 1u;
    SimBytes data(static_cast<uint64_t>(capacity) * errorEntrySize);
    const uint64_t total = request.profile.health.errorLogEntries;
    const uint64_t kept = std::min<uint64_t>(total, capacity);
    // Newest first; an entry with error count 0 is unused.
    for (uint32_t i = 0; i < kept; ++i) {
        const uint32_t base = i * errorEntrySize;
        data.u64(base, total - i);
        data.u16(base + 8, 0);                                              // admin queue
        data.u16(base + 10, static_cast<uint16_t>(0x1000 + total - i));     // command id
        data.u16(base + 12, CompletionStatus::invalidField().completionField());
        data.u16(base + 14, 0x0028);                                        // byte 40: dword 10
        data.u32(base + 24, 0xFFFFFFFF);
    }
    return cutPage(data.payload(), request);
}

SimResponse generateSmartHealth(const SimLogRequest& request) {
    const SimHealth& health = request.profile.health;
    SimBytes data(512);
    data.u8(0, health.criticalWarning);
    data.u16(1, health.temperatureKelvin);
    data.u8(3, health.availableSpare);
    data.u8(4, health.availableSpareThreshold);
    data.u8(5, health.percentageUsed);
    data.u128(32, health.dataUnitsRead);
    data.u128(48, health.dataUnitsWritten);
    data.u128(64, health.dataUnitsRead * 8);   // host read commands
    data.u128(80, health.dataUnitsWritten * 4);  // host write commands
    data.u128(96, health.powerOnHours * 3);    // controller busy minutes
    data.u128(112, health.powerCycles);
    data.u128(128, health.powerOnHours);
    data.u128(144, health.unsafeShutdowns);
    data.u128(160, health.mediaErrors);
    data.u128(176, health.errorLogEntries);
    data.u16(200, health.temperatureKelvin);  // sensor 1
    data.u16(202, health.temperatureKelvin + 4u);
    return cutPage(data.payload(), request);
}

SimResponse generateFirmwareSlots(const SimLogRequest& request) {
    SimBytes data(512);
    data.u8(0, 0x01);  // slot 1 active
    const auto& slots = request.profile.firmwareSlots;
    for (size_t i = 0; i < slots.size() && i < 7; ++i) {
        data.ascii(static_cast<uint32_t>(8 + 8 * i), 8, slots[i]);
    }
    return cutPage(data.payload(), request);
}

SimResponse generateCommandEffects(const SimLogRequest& request) {
    SimBytes data(4096);
    std::vector<uint8_t> admin = {0x02, 0x06, 0x09, 0x0A, 0x10, 0x11};
    if (request.profile.attributes.readBool(definitions::namespaceManagementSupported().key())) {
        admin.insert(admin.end(), {0x0D, 0x15});
    }
    if (request.profile.vendorChannel) {
        admin.insert(admin.end(), {0xF1, 0xF2});
    }
    for (const uint8_t opcode : admin) {
        data.u32(4u * opcode, supportedBit);
    }
    constexpr uint32_t ioBase = 1024;
    constexpr uint32_t contentChange = 1u << 1;
    data.u32(ioBase + 4 * 0x00, supportedBit);                  // flush
    data.u32(ioBase + 4 * 0x01, supportedBit | contentChange);  // write
    data.u32(ioBase + 4 * 0x02, supportedBit);                  // read
    return cutPage(data.payload(), request);
}

SimResponse generateChangedNamespaces(const SimLogRequest& request) {
    // Namespaces that were detached since the list was last read changed their attributes.
    SimBytes data(4096);
    uint32_t index = 0;
    for (const auto& ns : request.profile.namespaces) {
        if (!ns.attached && index < 1024) {
            data.u32(4 * index++, ns.id);
        }
    }
    return cutPage(data.payload(), request);
}

SimResponse generateSelfTest(const SimLogRequest& request) {
    SimBytes data(4 + selfTestEntries * selfTestEntrySize);
    const uint64_t hours = request.profile.health.powerOnHours;
    // Newest first: an extended test, then a short one a day before; both passed.
    const uint8_t kinds[] = {0x2, 0x1};
    uint32_t entry = 0;
    for (const uint8_t kind : kinds) {
        const uint32_t base = 4 + entry * selfTestEntrySize;
        data.u8(base, kind << 4);
        data.u64(base + 4, hours >= 24u * entry ? hours - 24u * entry : 0);
        data.u32(base + 12, 0xFFFFFFFF);  // namespace: all
        ++entry;
    }
    for (; entry < selfTestEntries; ++entry) {
        data.u8(4 + entry * selfTestEntrySize, selfTestUnused);
    }
    return cutPage(data.payload(), request);
}

bool hasEnduranceGroups(const SimProfile& profile) { return enduranceGroup(profile) != 0; }

SimResponse generateEnduranceGroupInformation(const SimLogRequest& request) {
    if (request.lsi != enduranceGroup(request.profile)) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    const SimHealth& health = request.profile.health;
    SimBytes data(512);
    data.u8(0, health.criticalWarning & 0x1D);  // the warnings that apply to a group
    data.u8(3, health.availableSpare);
    data.u8(4, health.availableSpareThreshold);
    data.u8(5, health.percentageUsed);
    data.u128(32, request.profile.capacityBytes / 1000000000 * 3000);  // endurance estimate, GB
    data.u128(48, health.dataUnitsRead);
    data.u128(64, health.dataUnitsWritten);
    data.u128(80, health.dataUnitsWritten + health.dataUnitsWritten / 4);  // media units written
    data.u128(96, health.dataUnitsRead * 8);
    data.u128(112, health.dataUnitsWritten * 4);
    data.u128(128, health.mediaErrors);
    data.u128(144, health.errorLogEntries);
    data.u128(160, request.profile.capacityBytes);
    return cutPage(data.payload(), request);
}

SimResponse generateSanitizeStatus(const SimLogRequest& request) {
    SimBytes data(512);
    data.u16(0, 0xFFFF);       // no sanitize in progress
    data.u16(2, 0);            // never sanitized
    data.u32(8, 0xFFFFFFFF);   // overwrite: not supported
    data.u32(12, 30);          // block erase, seconds
    data.u32(16, 5);           // crypto erase, seconds
    data.u32(20, 0xFFFFFFFF);
    data.u32(24, 0xFFFFFFFF);
    data.u32(28, 0xFFFFFFFF);
    return cutPage(data.payload(), request);
}

}  // namespace host::sim
