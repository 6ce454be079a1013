#pragma once
// The field tables of the log pages, built once on first use: the standard NVMe pages, the
// cloud SSD pages (0xC0 to 0xC5) and the maker's own pages. Pages whose records repeat have a
// header table and a record table; the decoder bounds the records by their count and the data.
#include "drivekit/features/decode/FieldTable.h"

namespace drivekit::features::nvme_get_log::decode {

using features::decode::FieldTable;

// Standard pages.
const FieldTable& supportedLogPageEntryTable();
const FieldTable& errorInformationEntryTable();
const FieldTable& firmwareSlotTable(bool withResetSlot);
const FieldTable& commandEffectsEntryTable();
const FieldTable& selfTestHeaderTable();
const FieldTable& selfTestResultTable();
const FieldTable& enduranceGroupInformationTable();
const FieldTable& lbaStatusHeaderTable();
const FieldTable& lbaStatusElementTable();
const FieldTable& lbaRangeDescriptorTable();
const FieldTable& supportedFeatureEntryTable();
const FieldTable& miCommandEffectsEntryTable();
const FieldTable& lockdownHeaderTable();
const FieldTable& eyeOpeningHeaderTable();
const FieldTable& eyeOpeningDescriptorTable();
const FieldTable& sanitizeStatusTable();

// Cloud SSD pages. The SMART cloud page is cut into the parts between its grouped fields.
const FieldTable& ocpSmartCountersTable();        // bytes 0 to 31
const FieldTable& ocpBadUserBlocksTable();        // bytes 32 to 39
const FieldTable& ocpBadSystemBlocksTable();      // bytes 40 to 47
const FieldTable& ocpErrorCountsTable();          // bytes 48 to 71
const FieldTable& ocpEndToEndTable();             // bytes 72 to 79
const FieldTable& ocpDataPercentTable();          // bytes 80 to 87
const FieldTable& ocpEraseCountsTable();          // bytes 88 to 95
const FieldTable& ocpThrottlingTable();           // byte 96; byte 97 is described by name
const FieldTable& ocpSmartRestTable();            // bytes 98 to 511
const FieldTable& ocpErrorRecoveryTable();
const FieldTable& ocpFirmwareHistoryHeaderTable();
const FieldTable& ocpFirmwareHistoryEntryTable();
const FieldTable& ocpLatencyMonitorTable();
const FieldTable& ocpDeviceCapabilitiesTable();
const FieldTable& ocpPowerStateDescriptorTable();
const FieldTable& ocpUnsupportedHeaderTable();
const FieldTable& ocpUnsupportedEntryTable();
const FieldTable& ocpLargePageTrailerTable();     // version and GUID at the end of a 4096-byte page

// The maker's pages.
const FieldTable& temperatureStatisticsTable();
const FieldTable& smartAttributesHeaderTable();
const FieldTable& smartAttributeEntryTable();
const FieldTable& marketingDescriptionTable();
const FieldTable& powerUsageTable();

}  // namespace drivekit::features::nvme_get_log::decode
