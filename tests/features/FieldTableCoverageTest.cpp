// Every decode table covers the bytes of its structure exactly once: a wrong offset or width
// in a table shows up here as a gap or an overlap, before any drive's data meets it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "drivekit/features/decode/FieldFormatter.h"
#include "drivekit/features/decode/FieldTable.h"
#include "drivekit/features/identify/decode/IdentifyTables.h"
#include "drivekit/features/nvme_get_log/decode/LogPageTables.h"
#include "drivekit/features/nvme_get_log/pel/PelTables.h"
#include "drivekit/features/telemetry/decode/TelemetryLogDecoder.h"

namespace {

namespace fields = drivekit::features::decode;
namespace identify = drivekit::features::identify::decode;
namespace pages = drivekit::features::nvme_get_log::decode;
namespace pel = drivekit::features::nvme_get_log::pel;
using drivekit::features::telemetry::decode::telemetryHeaderTable;

using Range = std::pair<uint32_t, uint32_t>;  // first byte, bytes

struct Structure {
    const fields::FieldTable& table;
    uint32_t first = 0;            // the table's fields start here (a part of a larger page)
    std::vector<Range> unshown{};  // bytes the page's published layout leaves out on purpose
};

// The bytes a container's bit rows reach: a container may span a whole bitmap whose other
// bytes are shown by value rows of their own.
struct BitReach {
    uint32_t offset = 0, low = UINT32_MAX, high = 0;
    void add(const fields::Field& bits) {
        low = std::min<uint32_t>(low, bits.lowBit);
        high = std::max<uint32_t>(high, bits.highBit);
    }
    void flushInto(std::vector<Range>& ranges) {
        if (low != UINT32_MAX) {
            ranges.emplace_back(offset + low / 8, high / 8 - low / 8 + 1);
        }
        low = UINT32_MAX;
        high = 0;
    }
};

// The byte ranges of the fields that hold bytes; nested tables are checked on their own.
std::vector<Range> rangesOf(const fields::FieldTable& table, std::vector<const fields::FieldTable*>& nested) {
    std::vector<Range> ranges;
    BitReach container;
    bool inContainer = false;
    for (const auto& field : table.fields) {
        if (field.kind == fields::FieldKind::bits || field.kind == fields::FieldKind::reading) {
            if (inContainer && field.kind == fields::FieldKind::bits) {
                container.add(field);  // readings hold no bytes of their own
            }
            continue;
        }
        container.flushInto(ranges);
        inContainer = field.kind == fields::FieldKind::container;
        switch (field.kind) {
            case fields::FieldKind::value: ranges.emplace_back(field.offset, field.width); break;
            case fields::FieldKind::container: container.offset = field.offset; break;
            case fields::FieldKind::records:
                ranges.emplace_back(field.offset, field.width * field.count);
                EXPECT_EQ(field.width, field.record->size) << table.title << ": " << field.name;
                nested.push_back(field.record);
                break;
            default:  // a nested structure
                ranges.emplace_back(field.offset, field.record->size);
                nested.push_back(field.record);
                break;
        }
    }
    container.flushInto(ranges);
    return ranges;
}

void expectTiles(const Structure& structure) {
    std::vector<const fields::FieldTable*> nested;
    std::vector<Range> ranges = rangesOf(structure.table, nested);
    ranges.insert(ranges.end(), structure.unshown.begin(), structure.unshown.end());
    std::sort(ranges.begin(), ranges.end());
    uint32_t next = structure.first;
    for (const auto& [offset, width] : ranges) {
        EXPECT_EQ(offset, next) << structure.table.title << ": gap or overlap at byte " << next;
        next = offset + width;
    }
    EXPECT_EQ(next, structure.table.size) << structure.table.title;
    for (const fields::FieldTable* table : nested) {
        expectTiles({*table});
    }
}

TEST(FieldTables, EveryTableCoversItsStructureExactly) {
    const std::vector<Structure> structures = {
        // Identify.
        {identify::identifyControllerTable()}, {identify::identifyNamespaceTable()},
        {identify::primaryControllerCapabilitiesTable()}, {identify::secondaryControllerEntryTable()},
        {identify::namespaceGranularityTable()}, {identify::uuidListEntryTable()},
        {identify::namespaceIdDescriptorHeaderTable()}, {identify::commandSetVectorTable()},
        {identify::ataIdentifyDeviceTable()}, {identify::independentNamespaceTable()},
        {identify::nvmControllerTable()}, {identify::nvmNamespaceTable()}, {identify::nvmSetListHeaderTable()},
        {identify::nvmSetAttributesEntryTable()}, {identify::domainListHeaderTable()},
        {identify::domainAttributesEntryTable()},
        // Log pages.
        {pages::supportedLogPageEntryTable()}, {pages::errorInformationEntryTable()},
        // The firmware slot page shows neither bytes 7:1 nor those after the last slot.
        {pages::firmwareSlotTable(true), 0, {{1, 7}, {64, 448}}},
        {pages::firmwareSlotTable(false), 0, {{1, 7}, {64, 448}}},
        {pages::commandEffectsEntryTable()}, {pages::selfTestHeaderTable()}, {pages::selfTestResultTable()},
        {pages::enduranceGroupInformationTable()}, {pages::lbaStatusHeaderTable()}, {pages::lbaStatusElementTable()},
        {pages::lbaRangeDescriptorTable()}, {pages::supportedFeatureEntryTable()},
        {pages::miCommandEffectsEntryTable()}, {pages::lockdownHeaderTable()}, {pages::eyeOpeningHeaderTable()},
        {pages::eyeOpeningDescriptorTable()}, {pages::sanitizeStatusTable()}, {pages::ocpSmartCountersTable()},
        {pages::ocpBadUserBlocksTable(), 32}, {pages::ocpBadSystemBlocksTable(), 40},
        {pages::ocpErrorCountsTable(), 48}, {pages::ocpEndToEndTable(), 72}, {pages::ocpDataPercentTable(), 80},
        {pages::ocpEraseCountsTable(), 88}, {pages::ocpThrottlingTable(), 96},
        // The cloud SSD SMART page shows neither byte 131 nor bytes 215:208.
        {pages::ocpSmartRestTable(), 98, {{131, 1}, {208, 8}}},
        {pages::ocpErrorRecoveryTable()}, {pages::ocpFirmwareHistoryHeaderTable()},
        {pages::ocpFirmwareHistoryEntryTable()}, {pages::ocpLatencyMonitorTable()},
        {pages::ocpDeviceCapabilitiesTable()}, {pages::ocpPowerStateDescriptorTable()},
        {pages::ocpUnsupportedHeaderTable()}, {pages::ocpUnsupportedEntryTable()},
        {pages::ocpLargePageTrailerTable(), 4078}, {pages::temperatureStatisticsTable()},
        {pages::smartAttributesHeaderTable()},
        {pages::smartAttributeEntryTable()}, {pages::marketingDescriptionTable()}, {pages::powerUsageTable()},
        // The persistent event log.
        {pel::logHeaderTable()}, {pel::eventHeaderTable()}, {pel::smartHealthSnapshotTable()},
        {pel::firmwareCommitTable()}, {pel::timestampChangeTable()}, {pel::powerOnOrResetTable()},
        {pel::hardwareErrorEventTable()}, {pel::changeNamespaceTable()}, {pel::formatNvmStartTable()},
        {pel::formatNvmCompletionTable()}, {pel::sanitizeStartTable()}, {pel::sanitizeCompletionTable()},
        {pel::setFeatureTable()}, {pel::telemetryLogCreateTable()}, {pel::thermalExcursionTable()},
        {pel::tcgDefinedTable()}, {pel::pcieErrorInfoTable()}, {pel::pcieLinkStatusTable()},
        {pel::criticalWarningsTable()}, {pel::enduranceGroupWarningTable()}, {pel::unsafeShutdownsTable()},
        {pel::completionQueueTable()}, {pel::controllerResetInformationTable()}, {pel::setFeatureCommandDwordsTable()},
        {pel::setFeatureCompletionDword0Table()}, {pel::vendorDescriptorTable()}, {pel::vendorDescriptorTcgTable()},
        // Telemetry.
        {telemetryHeaderTable()},
    };
    for (const Structure& structure : structures) {
        SCOPED_TRACE(structure.table.title);
        expectTiles(structure);
    }
}

}  // namespace

// Bit rows take their bits from the value above them: every range of up to 64 bits, at every
// place of a 16-byte value, against the bits read one at a time.
TEST(FieldTables, BitRowsReadEveryRangeOfTheirValue) {
    uint8_t value[16];
    for (unsigned i = 0; i < sizeof(value); ++i) {
        value[i] = static_cast<uint8_t>(0x9E * (i + 1) ^ (i << 5));
    }
    for (uint32_t low = 0; low < 128; ++low) {
        for (uint32_t high = low; high < 128 && high - low < 64; ++high) {
            uint64_t expected = 0;
            for (uint32_t bit = high + 1; bit-- > low;) {
                expected = (expected << 1) | ((value[bit / 8] >> (bit % 8)) & 1U);
            }
            ASSERT_EQ(fields::FieldFormatter::bitRange(value, sizeof(value), high, low), expected)
                << "bits " << high << ":" << low;
        }
    }
    EXPECT_EQ(fields::FieldFormatter::bitRange(value, 4, 32, 0), 0U) << "a range past the value";
}
