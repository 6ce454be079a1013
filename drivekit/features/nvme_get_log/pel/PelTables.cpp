// The persistent event log's layouts as NVM Express lays them out: offsets in
// bytes within each structure, little-endian; integers in decimal, reserved fields and byte
// arrays as "0x" and their bytes.
#include "drivekit/features/nvme_get_log/pel/PelTables.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <string>

#include "drivekit/features/decode/FieldRenderer.h"

namespace drivekit::features::nvme_get_log::pel {

namespace {

using namespace features::decode;

constexpr Rendering text = Rendering::text;

Field hex(const char* name, uint32_t first, uint32_t last) {
    return bytes(name, first, last, Rendering::prefixedBytes);
}

// name with "_" shown as a space, kept for the program's life.
std::string_view displayName(std::string_view name) {
    static std::mutex guard;
    static std::deque<std::string> names;
    std::string shown(name);
    std::replace(shown.begin(), shown.end(), '_', ' ');
    const std::lock_guard<std::mutex> lock(guard);
    return names.emplace_back(std::move(shown));
}

// The fields are shown under their display names and keep their layout names as keys.
FieldTable table(const char* title, uint32_t size, std::vector<Field> fields) {
    for (Field& field : fields) {
        if (field.name.find('_') != std::string_view::npos) {
            field.key = field.name.data();  // a literal, so ended by a NUL
            field.name = displayName(field.name);
        }
    }
    FieldTable made{title, LabelStyle::bytes, size, std::move(fields)};
    FieldRenderer::labelFields(made);
    return made;
}

}  // namespace

const FieldTable& timestampTable() {
    static const FieldTable t = table("Timestamp", 8,
                                      {
                                          container("Timestamp", 0, 7),
                                          bits("Timestamp", 47, 0),
                                          bit("Synch", 48),
                                          bits("Timestamp_Origin", 51, 49),
                                          bits("Reserved", 63, 52),
                                      });
    return t;
}

namespace {

// Bit n stands for event type n; 0xDE and 0xDF are the vendor and TCG events.
const FieldTable& supportedEventsTable() {
    static const FieldTable t = table("Supported_Events_Bitmap", 32,
                                      {
                                          container("Supported_Events_Bitmap", 0, 31),
                                          bit("Reserved_1", 0),
                                          bit("SMART_Health_Log_Snapshot_Event_Supported", 1),
                                          bit("Firmware_Commit_Event_Supported", 2),
                                          bit("Timestamp_Change_Event_Supported", 3),
                                          bit("Power_on_or_Reset_Event_Supported", 4),
                                          bit("NVM_Subsystem_Hardware_Error_Event_Supported", 5),
                                          bit("Change_Namespace_Event_Supported", 6),
                                          bit("Format_NVM_Start_Event_Supported", 7),
                                          bit("Format_NVM_Completion_Event_Supported", 8),
                                          bit("Sanitize_Start_Event_Supported", 9),
                                          bit("Sanitize_Completion_Event_Supported", 10),
                                          bit("Set_Feature_Event_Supported", 11),
                                          bit("Telemetry_Log_Create_Event_Supported", 12),
                                          bit("Thermal_Excursion_Event_Supported", 13),
                                          bits("Reserved_2", 15, 14),
                                          hex("Reserved_3", 2, 26),
                                          container("Supported_Events_Bitmap", 0, 31),
                                          bits("Reserved_4", 221, 216),
                                          bit("Vendor_Specific_Event_Supported", 222),
                                          bit("TCG_Defined", 223),
                                          hex("Reserved6", 28, 31),
                                      });
    return t;
}

}  // namespace

const FieldTable& logHeaderTable() {
    static const FieldTable t = table("Persistent_Event_Log_Header_Wrapper", logHeaderBytes,
                                      {
                                          byte("Log_Identifier", 0),
                                          hex("Reserved_1", 1, 3),
                                          bytes("Total_Number_of_Events", 4, 7),
                                          bytes("Total_Log_Length", 8, 15),
                                          byte("Log_Revision", 16),
                                          hex("Reserved_2", 17, 17),
                                          bytes("Log_Header_Length", 18, 19),
                                          structure("Timestamp", 20, timestampTable()),
                                          bytes("Power_on_Hours", 28, 43),
                                          bytes("Power_Cycle_Count", 44, 51),
                                          bytes("PCI_Vendor_ID", 52, 53),
                                          bytes("PCI_Subsystem_Vendor_ID", 54, 55),
                                          bytes("Serial_Number", 56, 75, text),
                                          bytes("Model_Number", 76, 115, text),
                                          bytes("Subsystem_Qualified_Name", 116, 371, text),
                                          bytes("Generation_Number", 372, 373),
                                          bytes("Reporting_Context", 374, 377),
                                          bits("Reporting_Context_Port_Identifier", 15, 0),
                                          bits("Reporting_Context_Port_Identifier_Type", 17, 16),
                                          bit("Reporting_Context_Exists", 18),
                                          bits("Reserved", 31, 19),
                                          hex("Reserved_3", 378, 479),
                                          structure("Supported_Events_Bitmap", 480, supportedEventsTable()),
                                      });
    return t;
}

const FieldTable& eventHeaderTable() {
    static const FieldTable t = table("Persistent_Event_Log_Event_Header_Wrapper", eventHeaderBytes,
                                      {
                                          byte("Event_Type", 0),
                                          byte("Event_Type_Revision", 1),
                                          byte("Event_Header_Length", 2),
                                          byte("Event_Header_Additional_Information", 3),
                                          bytes("Controller_Identifier", 4, 5),
                                          structure("Event_Timestamp", 6, timestampTable()),
                                          bytes("Port_Identifier", 14, 15),
                                          hex("Reserved", 16, 19),
                                          bytes("Vendor_Specific_Information_Length", 20, 21),
                                          bytes("Event_Length", 22, 23),
                                      });
    return t;
}

const FieldTable& smartHealthSnapshotTable() {
    static const FieldTable t = table("Smart_Health_Log_Snapshot_Event_Wrapper", 512,
                                      {
                                          byte("Critical_Warnings", 0),
                                          bytes("Temperature", 1, 2),
                                          byte("Available_Spare", 3),
                                          byte("Available_Spare_Threshold", 4),
                                          byte("Percentage_Used", 5),
                                          byte("Endurance_Group_Warnings", 6),
                                          hex("Reserved_1", 7, 31),
                                          bytes("Data_Units_Read", 32, 47),
                                          bytes("Data_Units_Written", 48, 63),
                                          bytes("Host_Reads_Commands", 64, 79),
                                          bytes("Host_Writes_Commands", 80, 95),
                                          bytes("Controller_Busy_Time", 96, 111),
                                          bytes("Power_Cycles", 112, 127),
                                          bytes("Power_On_Hours", 128, 143),
                                          bytes("Unsafe_Shutdowns", 144, 159),
                                          bytes("Media_Errors", 160, 175),
                                          bytes("Number_of_Error_Information_Log_Entries", 176, 191),
                                          bytes("Warning_Composite_Temperature_Time", 192, 195),
                                          bytes("Critical_Composite_Temperature_Time", 196, 199),
                                          bytes("Temperature_Sensor_1", 200, 201),
                                          bytes("Temperature_Sensor_2", 202, 203),
                                          bytes("Temperature_Sensor_3", 204, 205),
                                          bytes("Temperature_Sensor_4", 206, 207),
                                          bytes("Temperature_Sensor_5", 208, 209),
                                          bytes("Temperature_Sensor_6", 210, 211),
                                          bytes("Temperature_Sensor_7", 212, 213),
                                          bytes("Temperature_Sensor_8", 214, 215),
                                          bytes("Thermal_Management_Temperature_Transition_1", 216, 219),
                                          bytes("Thermal_Management_Temperature_Transition_2", 220, 223),
                                          bytes("Thermal_Management_Temperature_Time_1", 224, 227),
                                          bytes("Thermal_Management_Temperature_Time_2", 228, 231),
                                          hex("Reserved_2", 232, 511),
                                      });
    return t;
}

const FieldTable& firmwareCommitTable() {
    static const FieldTable t = table("Firmware_Commit_Event_Wrapper", 22,
                                      {
                                          bytes("Old_Firmware_Revision", 0, 7, text),
                                          bytes("New_Firmware_Revision", 8, 15, text),
                                          byte("Firmware_Commit_Action", 16),
                                          byte("Firmware_Slot", 17),
                                          byte("Status_Code_Type", 18),
                                          byte("Status_Returned", 19),
                                          bytes("Vendor_Result_Code", 20, 21),
                                      });
    return t;
}

const FieldTable& timestampChangeTable() {
    static const FieldTable t = table("Timestamp_Change_Event_Wrapper", 16,
                                      {
                                          structure("Previous_Timestamp", 0, timestampTable()),
                                          bytes("Milliseconds_Since_Reset", 8, 15),
                                      });
    return t;
}

// The part before the controllers' records.
const FieldTable& powerOnOrResetTable() {
    static const FieldTable t =
        table("Power_On_or_Reset_Event_Wrapper", 8, {bytes("Firmware_Revision", 0, 7, text)});
    return t;
}

const FieldTable& controllerResetInformationTable() {
    static const FieldTable t = table("Controller_Reset_Information_Wrapper", controllerResetInformationBytes,
                                      {
                                          bytes("Controller_ID", 0, 1),
                                          byte("Firmware_Activation", 2),
                                          container("Operation_in_Progress", 3, 3),
                                          bit("Format_NVM_In_Progress", 0),
                                          bits("Reserved_1", 7, 1),
                                          hex("Reserved_2", 4, 15),
                                          bytes("Controller_Power_Cycle_Count", 16, 19),
                                          bytes("Power_On_Milliseconds", 20, 27),
                                          structure("Controller_Timestamp", 28, timestampTable()),
                                      });
    return t;
}

// The part before the additional information, which depends on the code.
const FieldTable& hardwareErrorEventTable() {
    static const FieldTable t = table("NVM_Subsystem_Hardware_Error_Event_Wrapper", 4,
                                      {
                                          bytes("Error_Event_Code", 0, 1),
                                          hex("Reserved", 2, 3),
                                      });
    return t;
}

const FieldTable& pcieErrorInfoTable() {
    static const FieldTable t = table("Hardware_Error_Info_PCIe_Wrapper", 44,
                                      {
                                          bytes("PCIe_Device_Status", 0, 1),
                                          container("PCIe_AER_Information", 2, 2),
                                          bit("PCIe_AER_Supported", 0),
                                          bits("Reserved_1", 7, 1),
                                          hex("Reserved_2", 3, 3),
                                          bytes("PCIe_AER_Error_Status", 4, 7),
                                          bytes("PCIe_AER_Error_Mask", 8, 11),
                                          hex("PCIe_AER_HeaderLog_Register", 12, 27),
                                          hex("PCIe_AER_TLP_Prefix_Log_Register", 28, 43),
                                      });
    return t;
}

// The PCI Express Link Status register.
const FieldTable& pcieLinkStatusTable() {
    static const FieldTable t = table("PCI_Express_Link_Status_Wrapper", 2,
                                      {
                                          container("PCIe_Link_Status", 0, 1),
                                          bits("Current_Link_Speed", 3, 0),
                                          bits("Negotiated_Link_Width", 9, 4),
                                          bits("Reserved_1", 11, 10),
                                          bit("Slot_Clock_Configuration", 12),
                                          bits("Reserved_2", 15, 13),
                                      });
    return t;
}

// The Critical Warning byte of the SMART / Health log.
const FieldTable& criticalWarningsTable() {
    static const FieldTable t = table("NVMe_SMART_Health_Critical_Warnings_Wrapper", 1,
                                      {
                                          container("Critical_Warning", 0, 0),
                                          bit("Available_Spare", 0),
                                          bit("Temperature", 1),
                                          bit("Reliability", 2),
                                          bit("Read_Only", 3),
                                          bit("Volatile_Memory", 4),
                                          bit("Persistent_Read_Only", 5),
                                          bits("Reserved", 7, 6),
                                      });
    return t;
}

const FieldTable& enduranceGroupWarningTable() {
    static const FieldTable t = table("Endurance_Group_Critical_Warning_Condition_Wrapper", 4,
                                      {
                                          byte("Endurance_Group_Warnings", 0),
                                          hex("Reserved", 1, 1),
                                          bytes("EnduranceGroupIdentifier", 2, 3),
                                      });
    return t;
}

// The Unsafe Shutdowns count of the SMART / Health log.
const FieldTable& unsafeShutdownsTable() {
    static const FieldTable t =
        table("Unsafe_Shutdowns_Wrapper", 16, {bytes("Unsafe_Shutdowns", 0, 15)});
    return t;
}

// Dword 3 of the completion queue entry.
const FieldTable& completionQueueTable() {
    static const FieldTable t = table("Completion_Queue_Wrapper", 4,
                                      {
                                          container("Completion_Queue_Entry_Dword_3", 0, 3),
                                          bits("Command_Identifier", 15, 0),
                                          bit("Phase_Tag", 16),
                                          bits("Status_Code", 24, 17),
                                          bits("Status_Code_Type", 27, 25),
                                          bits("Command_Retry_Delay", 29, 28),
                                          bit("More", 30),
                                          bit("Do_Not_Retry", 31),
                                      });
    return t;
}

const FieldTable& changeNamespaceTable() {
    static const FieldTable t = table("Change_Namespace_Event_Wrapper", 48,
                                      {
                                          bytes("Dword_10", 0, 3),
                                          hex("Reserved_1", 4, 7),
                                          bytes("Namespace_Size", 8, 15),
                                          hex("Reserved_2", 16, 23),
                                          bytes("Namespace_Capacity", 24, 31),
                                          byte("Formatted_LBA_Size", 32),
                                          byte("End_To_End_Protection", 33),
                                          byte("MultiPath_IO_and_Namespace_Sharing", 34),
                                          hex("Reserved_3", 35, 35),
                                          bytes("ANA_Group_Identifier", 36, 39),
                                          bytes("NVM_Set_Identifier", 40, 41),
                                          hex("Reserved_4", 42, 43),
                                          bytes("Namespace_ID", 44, 47),
                                      });
    return t;
}

const FieldTable& formatNvmStartTable() {
    static const FieldTable t = table("Format_NVM_Start_Event_Wrapper", 12,
                                      {
                                          bytes("Namespace_Identifier", 0, 3),
                                          byte("Format_NVM_Attributes", 4),
                                          hex("Reserved", 5, 7),
                                          bytes("Dword_10", 8, 11),
                                          bits("LBA_Format", 3, 0),
                                          bit("Metadata_Settings", 4),
                                          bits("Protection_Information", 7, 5),
                                          bit("Protection_Information_Location", 8),
                                          bits("Secure_Erase_Settings", 11, 9),
                                          bits("Reserved", 31, 12),
                                      });
    return t;
}

const FieldTable& formatNvmCompletionTable() {
    static const FieldTable t = table("Format_NVM_Completion_Event_Wrapper", 12,
                                      {
                                          bytes("Namespace_Identifier", 0, 3),
                                          byte("Smallest_Format_Progress_Indicator", 4),
                                          container("Format_NVM_Status", 5, 5),
                                          bit("Format_NVM_Error", 0),
                                          bit("Incomplete_Format", 1),
                                          bits("Reserved", 7, 2),
                                          bytes("Completion_Information", 6, 7),
                                          bytes("Status_Field", 8, 11),
                                      });
    return t;
}

const FieldTable& sanitizeStartTable() {
    static const FieldTable t = table("Sanitize_Start_Event_Wrapper", 12,
                                      {
                                          bytes("SANICAP", 0, 3),
                                          bytes("Dword_10", 4, 7),
                                          bits("Sanitize_Action", 2, 0),
                                          bit("Allow_Unrestricted_Exit", 3),
                                          bits("Overwrite_Pass_Count", 7, 4),
                                          bit("Overwrite_Invert_Pattern", 8),
                                          bit("No_Deallocate", 9),
                                          bits("Reserved", 31, 10),
                                          bytes("Dword_11", 8, 11),
                                          bits("Overwrite_Pattern", 31, 0),
                                      });
    return t;
}

const FieldTable& sanitizeCompletionTable() {
    static const FieldTable t = table("Sanitize_Completion_Event_Wrapper", 8,
                                      {
                                          bytes("Sanitize_Progress", 0, 1),
                                          bytes("Sanitize_Status", 2, 3),
                                          bytes("Completion_Information", 4, 5),
                                          hex("Reserved", 6, 7),
                                      });
    return t;
}

// The event's layout dword; the logged dwords and memory buffer follow it.
const FieldTable& setFeatureTable() {
    static const FieldTable t = table("Set_Feature_Event_Wrapper", setFeatureLayoutBytes,
                                      {
                                          container("Set_Feature_Event_Layout", 0, 3),
                                          bits("Dword_Count", 2, 0),
                                          bit("Logged_Command_Completion_Dword_0", 3),
                                          bits("Reserved", 15, 4),
                                          bits("Memory_Buffer_Count", 31, 16),
                                      });
    return t;
}

// As many of the command's dwords as the event logged, from command dword 10 on.
const FieldTable& setFeatureCommandDwordsTable() {
    static const FieldTable t = table("Set_Feature_Command_Dword_Wrapper", 4 * setFeatureMostCommandDwords,
                                      {
                                          bytes("Dword_0", 0, 3),
                                          bits("Select", 7, 0),
                                          bits("Reserved", 31, 8),
                                          bytes("Dword_1", 4, 7),
                                          bytes("Dword_2", 8, 11),
                                          bytes("Dword_3", 12, 15),
                                          bytes("Dword_4", 16, 19),
                                          bytes("Dword_5", 20, 23),
                                          bytes("Dword_6", 24, 27),
                                      });
    return t;
}

const FieldTable& setFeatureCompletionDword0Table() {
    static const FieldTable t = table("Set_Feature_Command_Completion_Dword_0_Wrapper", 4,
                                      {bytes("Command_Completion_Dword_0", 0, 3)});
    return t;
}

// The header of a telemetry log that the event captured. The rows keep the event's published
// order (data available before the host generation number), each at its byte in the header;
// the controller-initiated generation number, byte 383, follows them.
const FieldTable& telemetryLogCreateTable() {
    static const FieldTable t = table("Telemetry_Log_Create_Event_Wrapper", 512,
                                      {
                                          byte("Log_Identifier", 0),
                                          hex("Reserved_1", 1, 4),
                                          bytes("IEEE_OUI_Identifier", 5, 7),
                                          bytes("Telemetry_Data_Area_Last_Block_1", 8, 9),
                                          bytes("Telemetry_Data_Area_Last_Block_2", 10, 11),
                                          bytes("Telemetry_Data_Area_Last_Block_3", 12, 13),
                                          hex("Reserved_2", 14, 380),
                                          byte("Telemetry_Controller_Initiated_Data_Available", 382),
                                          byte("Telemetry_Host_Initiated_Data_Generation_Number", 381),
                                          byte("Telemetry_Controller_Initiated_Data_Generation_Number", 383),
                                          hex("Reason_Identifier", 384, 511),
                                      });
    return t;
}

const FieldTable& thermalExcursionTable() {
    static const FieldTable t = table("Thermal_Excursion_Event_Wrapper", 2,
                                      {
                                          byte("Over_Temperature", 0),
                                          byte("Threshold", 1),
                                      });
    return t;
}

const FieldTable& tcgDefinedTable() {
    static const FieldTable t = table("TCG_Defined_Event_Wrapper", 36,
                                      {
                                          hex("Reserved", 0, 1),
                                          bytes("TCG_Command_Count", 2, 3),
                                          hex("Invoking_ID", 4, 11),
                                          hex("Method_ID", 12, 19),
                                          bytes("ComID", 20, 21),
                                          byte("ProtocolID", 22),
                                          byte("Status", 23),
                                          bytes("Process_Time", 24, 25),
                                          hex("TCG_Activity_Specific_Context_Byte_8_of_10", 26, 33),
                                          hex("TCG_Activity_Specific_Context_Byte_2_of_10", 34, 35),
                                      });
    return t;
}

namespace {

// The header of a vendor-specific event descriptor (its data follows), with the names of its
// code, data type and data length.
FieldTable descriptorTable(const char* title, const char* code, const char* type, const char* length) {
    return table(title, vendorDescriptorHeaderBytes,
                 {
                     bytes(code, 0, 1),
                     byte(type, 2),
                     container("UUID", 3, 3),
                     bits("UUID_Index", 6, 0),
                     bytes(length, 4, 5),
                 });
}

}  // namespace

const FieldTable& vendorDescriptorTable() {
    static const FieldTable t = descriptorTable("Vendor_Specific_Descriptor_Wrapper", "Event_Code",
                                                "Event_Data_Type", "Event_Data_Length");
    return t;
}

const FieldTable& vendorDescriptorTcgTable() {
    static const FieldTable t =
        descriptorTable("Vendor_Specific_Descriptor_TCG_Wrapper", "Vendor_Specific_Event_Code",
                        "Vendor_Specific_Event_Data_Type", "Vendor_Specific_Event_Data_Length");
    return t;
}

}  // namespace drivekit::features::nvme_get_log::pel
