#pragma once
// The field tables of the persistent event log's fixed structures: the log and event headers,
// the event data of each event type, the additional information of hardware errors and the
// sub-structures. Each table's title is the name of the structure view that renders it;
// field names are words joined by underscores, shown with spaces.
#include <cstdint>

#include "drivekit/features/decode/FieldTable.h"

namespace drivekit::features::nvme_get_log::pel {

using features::decode::FieldTable;

constexpr uint32_t logHeaderBytes = 512;
constexpr uint32_t eventHeaderBytes = 24;
// The bytes of an event header after its Event_Header_Length field.
constexpr uint32_t eventHeaderLengthBase = 3;
constexpr uint32_t controllerResetInformationBytes = 36;
constexpr uint32_t vendorDescriptorHeaderBytes = 6;
constexpr uint32_t setFeatureLayoutBytes = 4;
// Dword_Count is three bits wide.
constexpr uint32_t setFeatureMostCommandDwords = 7;

const FieldTable& timestampTable();
const FieldTable& logHeaderTable();
const FieldTable& eventHeaderTable();

const FieldTable& smartHealthSnapshotTable();
const FieldTable& firmwareCommitTable();
const FieldTable& timestampChangeTable();
const FieldTable& powerOnOrResetTable();
const FieldTable& hardwareErrorEventTable();
const FieldTable& changeNamespaceTable();
const FieldTable& formatNvmStartTable();
const FieldTable& formatNvmCompletionTable();
const FieldTable& sanitizeStartTable();
const FieldTable& sanitizeCompletionTable();
const FieldTable& setFeatureTable();
const FieldTable& telemetryLogCreateTable();
const FieldTable& thermalExcursionTable();
const FieldTable& tcgDefinedTable();

const FieldTable& pcieErrorInfoTable();
const FieldTable& pcieLinkStatusTable();
const FieldTable& criticalWarningsTable();
const FieldTable& enduranceGroupWarningTable();
const FieldTable& unsafeShutdownsTable();
const FieldTable& completionQueueTable();

const FieldTable& controllerResetInformationTable();
const FieldTable& setFeatureCommandDwordsTable();
const FieldTable& setFeatureCompletionDword0Table();
const FieldTable& vendorDescriptorTable();
const FieldTable& vendorDescriptorTcgTable();

}  // namespace drivekit::features::nvme_get_log::pel
