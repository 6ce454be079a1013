// The maker's own pages. Its NVMe drives have SMART attributes (0xCA); its product family
// also has temperature statistics (0xD5), power usage (0xF2), NAND statistics (0xF4), defects
// count (0xF5), performance debug (0xFA, sized by the log-specific field and the drive's FTL
// count) and extended SMART (0xFE). All are small, so each is built whole and cut.
#include <algorithm>

#include "drivekit/core/ProductTable.h"
#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimLogPageGenerators.h"
#include "host/devices/sim/SimLogSlice.h"

namespace host::sim {

namespace {

constexpr uint32_t smartAttributeSize = 12;
constexpr uint32_t defectsEntrySize = 32;
constexpr uint32_t extendedSmartEntrySize = 16;

// Dword counts of the performance debug page: the debug history (LSP 2, version 2.0) and
// the FTL summary (LSP 4) for a drive of 2 and of 4 FTLs.
struct PerformanceDebugSize {
    uint32_t ftls;
    uint32_t historyDwords;
    uint32_t summaryDwords;
};
const PerformanceDebugSize performanceDebugSizes[] = {{2, 1343, 227}, {4, 2685, 453}};
constexpr uint32_t performanceDebugDwords = 1217;  // LSP 0, 1 and 3
constexpr uint32_t performanceTraceDwords = 512;   // LSP 5
constexpr uint16_t historyMajor = 2;
constexpr uint16_t historyMinor = 0;

uint32_t totalFtls(const SimProfile& profile) {
    return profile.firmwareParameters.fields[4] * profile.firmwareParameters.numFtlInstances;  // ftl_cores
}

uint8_t celsius(const SimHealth& health) {
    return static_cast<uint8_t>(health.temperatureKelvin > 273 ? health.temperatureKelvin - 273 : 0);
}

// A counter that looks like a drive's: different for each page, place and drive.
uint32_t counter(const SimProfile& profile, uint32_t page, uint32_t index) {
    const uint64_t seed = profile.health.powerOnHours * 2654435761ULL + page * 40503ULL + index * 97ULL;
    return static_cast<uint32_t>((seed ^ (seed >> 13)) % 100000);
}

}  // namespace

bool isMakersNvmeDrive(const SimProfile& profile) {
    return profile.attributes.readBool(definitions::kestrovaNVMe().key());
}

bool isMakersProductFamily(const SimProfile& profile) {
    return drivekit::core::products::hasVendorPages(profile.attributes.readString(definitions::product().key()));
}

SimResponse generateSmartAttributes(const SimLogRequest& request) {
    const SimHealth& health = request.profile.health;
    struct Row {
        uint8_t id;
        uint64_t raw;
        uint8_t value;
    };
    const Row rows[] = {
        {5, 0, 100},
        {9, health.powerOnHours, 100},
        {12, health.powerCycles, 100},
        {170, health.availableSpare, health.availableSpare},
        {171, 0, 100},
        {172, 0, 100},
        {174, health.unsafeShutdowns, 100},
        {184, 0, 100},
        {187, health.mediaErrors, 100},
        {194, celsius(health), static_cast<uint8_t>(100 - std::min<uint8_t>(celsius(health), 100))},
        {199, 0, 100},
        {233, health.percentageUsed, static_cast<uint8_t>(100 - std::min<uint8_t>(health.percentageUsed, 100))},
        {241, health.dataUnitsWritten * 512000 / (32ULL << 20), 100},
        {242, health.dataUnitsRead * 512000 / (32ULL << 20), 100},
    };
    SimBytes data(516);
    data.u16(0, 1);  // revision
    data.u16(2, sizeof(rows) / sizeof(rows[0]));
    uint32_t at = 4;
    for (const Row& row : rows) {
        data.u8(at, row.id);
        data.u16(at + 1, 0x0032);
        data.u8(at + 3, row.value);
        data.u8(at + 4, row.value);
        data.u32(at + 5, row.raw & 0xFFFFFFFF);  // six bytes of raw value
        data.u16(at + 9, (row.raw >> 32) & 0xFFFF);
        at += smartAttributeSize;
    }
    return cutPage(data.payload(), request);
}

SimResponse generateTemperatureStatistics(const SimLogRequest& request) {
    const uint8_t now = celsius(request.profile.health);
    // Current, over-temperature shutdown flags for the last and the life of the drive,
    // highest, lowest, maximum and minimum operating temperature, estimated offset: eight
    // little-endian quadwords in Celsius.
    const uint64_t fields[] = {now, 0, 0, static_cast<uint64_t>(now) + 24, now > 15 ? now - 15u : 0u, 70, 0, 2};
    SimBytes data(112);
    for (uint32_t i = 0; i < 8; ++i) {
        data.u64(8 * i, fields[i]);
    }
    return cutPage(data.payload(), request);
}

SimResponse generatePowerUsage(const SimLogRequest& request) {
    SimBytes data(16);
    data.u32(0, 1320);  // 3.3 V rail, mW
    data.u32(4, 6850);  // 12 V rail, mW
    return cutPage(data.payload(), request);
}

SimResponse generateNandStatistics(const SimLogRequest& request) {
    SimBytes data(328);
    for (uint32_t i = 0; i < 328 / 8; ++i) {
        data.u64(8 * i, counter(request.profile, 0xF4, i));
    }
    return cutPage(data.payload(), request);
}

SimResponse generateDefectsCount(const SimLogRequest& request) {
    // One entry per FTL: its index, then grown, factory, program-fail, erase-fail, read-fail
    // and retired block counts.
    const uint32_t entries = std::max<uint32_t>(1, totalFtls(request.profile));
    SimBytes data(4 + entries * defectsEntrySize);
    data.u16(0, data.size());
    data.u16(2, entries);
    for (uint32_t n = 0; n < entries; ++n) {
        const uint32_t at = 4 + n * defectsEntrySize;
        data.u32(at, n);
        for (uint32_t field = 1; field < 7; ++field) {
            data.u32(at + 4 * field, counter(request.profile, 0xF5, n * 8 + field) % (field == 2 ? 400 : 20));
        }
    }
    return cutPage(data.payload(), request);
}

SimResponse generatePerformanceDebug(const SimLogRequest& request) {
    const uint32_t ftls = totalFtls(request.profile);
    const PerformanceDebugSize* size = nullptr;
    for (const auto& row : performanceDebugSizes) {
        size = row.ftls == ftls ? &row : size;
    }
    uint32_t dwords = 0;
    switch (request.lsp) {
        case 0:
        case 1:
        case 3: dwords = performanceDebugDwords; break;
        case 2: dwords = size != nullptr ? size->historyDwords : 1; break;
        case 4: dwords = size != nullptr ? size->summaryDwords : 1; break;
        case 5: dwords = performanceTraceDwords; break;
        default: return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    SimBytes data(4 * dwords);
    for (uint32_t i = 0; i < dwords; ++i) {
        data.u32(4 * i, counter(request.profile, 0xFA00 + request.lsp, i));
    }
    if (request.lsp == 2) {
        data.u16(0, historyMajor);
        data.u16(2, historyMinor);
    }
    return cutPage(data.payload(), request);
}

SimResponse generateExtendedSmart(const SimLogRequest& request) {
    // Entries of an identifier and a 64-bit value; the drive fills the first 48.
    SimBytes data(7680);
    for (uint32_t i = 0; i < 48; ++i) {
        const uint32_t at = i * extendedSmartEntrySize;
        data.u16(at, 0x100 + i);
        data.u64(at + 8, counter(request.profile, 0xFE, i));
    }
    return cutPage(data.payload(), request);
}

}  // namespace host::sim
