#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "drivekit/features/nvme_get_log/pel/PelEventRecords.h"
#include "drivekit/features/nvme_get_log/pel/PelRecords.h"
#include "drivekit/features/nvme_get_log/pel/PelTables.h"

namespace pel = drivekit::features::nvme_get_log::pel;

namespace {

// A field of a record: the name its table gives it, where the packed struct puts it.
struct Placed {
    const char* name;
    size_t offset;
    size_t width;
};
#define PLACED(Record, member, name) \
    Placed { name, offsetof(Record, member), sizeof(Record::member) }

struct RecordCase {
    const pel::FieldTable& table;
    size_t bytes;  // the part of the record the table describes
    std::vector<Placed> fields;
};

}  // namespace

// The simulated drive writes these records and the decoder reads them through the tables;
// the two must place every field the same.
TEST(PelRecords, TablesAndPackedRecordsPlaceFieldsAlike) {
    using namespace pel;
    const std::vector<RecordCase> cases = {
        {logHeaderTable(), sizeof(PersistentEventLogHeader),
         {PLACED(PersistentEventLogHeader, totalNumberOfEvents, "Total_Number_of_Events"),
          PLACED(PersistentEventLogHeader, logHeaderLength, "Log_Header_Length"),
          PLACED(PersistentEventLogHeader, powerOnHours, "Power_on_Hours"),
          PLACED(PersistentEventLogHeader, pciSubsystemVendorId, "PCI_Subsystem_Vendor_ID"),
          PLACED(PersistentEventLogHeader, subsystemQualifiedName, "Subsystem_Qualified_Name"),
          PLACED(PersistentEventLogHeader, reportingContext, "Reporting_Context")}},
        {eventHeaderTable(), sizeof(PersistentEventHeader),
         {PLACED(PersistentEventHeader, controllerIdentifier, "Controller_Identifier"),
          PLACED(PersistentEventHeader, portIdentifier, "Port_Identifier"),
          PLACED(PersistentEventHeader, vendorSpecificInformationLength, "Vendor_Specific_Information_Length"),
          PLACED(PersistentEventHeader, eventLength, "Event_Length")}},
        {firmwareCommitTable(), sizeof(FirmwareCommitEvent),
         {PLACED(FirmwareCommitEvent, newFirmwareRevision, "New_Firmware_Revision"),
          PLACED(FirmwareCommitEvent, firmwareSlot, "Firmware_Slot"),
          PLACED(FirmwareCommitEvent, vendorResultCode, "Vendor_Result_Code")}},
        {timestampChangeTable(), sizeof(TimestampChangeEvent),
         {PLACED(TimestampChangeEvent, millisecondsSinceReset, "Milliseconds_Since_Reset")}},
        {powerOnOrResetTable(), offsetof(PowerOnOrResetEvent, controller),
         {PLACED(PowerOnOrResetEvent, firmwareRevision, "Firmware_Revision")}},
        {controllerResetInformationTable(), sizeof(ControllerResetInformation),
         {PLACED(ControllerResetInformation, controllerId, "Controller_ID"),
          PLACED(ControllerResetInformation, controllerPowerCycleCount, "Controller_Power_Cycle_Count"),
          PLACED(ControllerResetInformation, powerOnMilliseconds, "Power_On_Milliseconds")}},
        {hardwareErrorEventTable(), offsetof(HardwareErrorLinkEvent, pcieLinkStatus),
         {PLACED(HardwareErrorLinkEvent, errorEventCode, "Error_Event_Code")}},
        {changeNamespaceTable(), sizeof(ChangeNamespaceEvent),
         {PLACED(ChangeNamespaceEvent, namespaceSize, "Namespace_Size"),
          PLACED(ChangeNamespaceEvent, namespaceCapacity, "Namespace_Capacity"),
          PLACED(ChangeNamespaceEvent, anaGroupIdentifier, "ANA_Group_Identifier"),
          PLACED(ChangeNamespaceEvent, nvmSetIdentifier, "NVM_Set_Identifier"),
          PLACED(ChangeNamespaceEvent, namespaceId, "Namespace_ID")}},
        {formatNvmStartTable(), sizeof(FormatNvmStartEvent),
         {PLACED(FormatNvmStartEvent, namespaceIdentifier, "Namespace_Identifier"),
          PLACED(FormatNvmStartEvent, dword10, "Dword_10")}},
        {formatNvmCompletionTable(), sizeof(FormatNvmCompletionEvent),
         {PLACED(FormatNvmCompletionEvent, smallestFormatProgressIndicator, "Smallest_Format_Progress_Indicator"),
          PLACED(FormatNvmCompletionEvent, statusField, "Status_Field")}},
        {sanitizeStartTable(), sizeof(SanitizeStartEvent),
         {PLACED(SanitizeStartEvent, sanicap, "SANICAP"), PLACED(SanitizeStartEvent, dword10, "Dword_10")}},
        {sanitizeCompletionTable(), sizeof(SanitizeCompletionEvent),
         {PLACED(SanitizeCompletionEvent, sanitizeProgress, "Sanitize_Progress"),
          PLACED(SanitizeCompletionEvent, sanitizeStatus, "Sanitize_Status")}},
        {setFeatureTable(), offsetof(SetFeatureEventFourDwords, commandDwords), {}},
        {telemetryLogCreateTable(), sizeof(TelemetryLogCreateEvent),
         {PLACED(TelemetryLogCreateEvent, ieeeOuiIdentifier, "IEEE_OUI_Identifier"),
          PLACED(TelemetryLogCreateEvent, dataAreaLastBlock1, "Telemetry_Data_Area_Last_Block_1"),
          PLACED(TelemetryLogCreateEvent, dataAreaLastBlock3, "Telemetry_Data_Area_Last_Block_3"),
          PLACED(TelemetryLogCreateEvent, hostInitiatedDataGenerationNumber,
                 "Telemetry_Host_Initiated_Data_Generation_Number")}},
        {thermalExcursionTable(), sizeof(ThermalExcursionEvent),
         {PLACED(ThermalExcursionEvent, threshold, "Threshold")}},
        {tcgDefinedTable(), sizeof(TcgDefinedEvent),
         {PLACED(TcgDefinedEvent, tcgCommandCount, "TCG_Command_Count"),
          PLACED(TcgDefinedEvent, methodId, "Method_ID"), PLACED(TcgDefinedEvent, comId, "ComID"),
          PLACED(TcgDefinedEvent, protocolId, "ProtocolID"), PLACED(TcgDefinedEvent, processTime, "Process_Time")}},
        {vendorDescriptorTable(), sizeof(VendorDescriptorHeader),
         {PLACED(VendorDescriptorHeader, eventCode, "Event_Code"),
          PLACED(VendorDescriptorHeader, eventDataType, "Event_Data_Type"),
          PLACED(VendorDescriptorHeader, eventDataLength, "Event_Data_Length")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table.title);
        EXPECT_EQ(c.bytes, c.table.size);
        for (const Placed& placed : c.fields) {
            bool found = false;
            for (const auto& field : c.table.fields) {
                if (std::string(field.name) == placed.name && field.offset == placed.offset &&
                    field.width == placed.width) {
                    found = true;
                }
            }
            EXPECT_TRUE(found) << placed.name << " at " << placed.offset << ", " << placed.width << " bytes";
        }
    }
}
