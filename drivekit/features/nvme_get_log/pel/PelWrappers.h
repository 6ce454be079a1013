#pragma once
// The structure views of the persistent event log. Fixed layouts are one field table each,
// rendered by the field renderer; the views below them add what a table cannot say: records
// repeated as often as the event's length allows, a structure chosen by a code in the data,
// parts that a layout dword switches on, lengths carried in the data.
#include <cstdint>

#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/nvme_get_log/pel/TarnStruct.h"
#include "drivekit/features/nvme_get_log/pel/PelTables.h"

namespace drivekit::features::nvme_get_log::pel {

// A structure laid out by one field table.
class TableStruct : public TarnStruct {
public:
    TableStruct(core::Payload payload, uint32_t offset, const FieldTable& table);
    void addProperties(features::decode::FieldSink& sink) const override;

    // Renders table at offset into sink with display names; false when the payload ended
    // before the table did (the "Truncated" field is then the last one given).
    static bool render(const FieldTable& table, const core::Payload& payload, uint32_t offset,
                       features::decode::FieldSink& sink);

protected:
    const FieldTable& table_;
};

template <const FieldTable& (*Table)()>
class TableWrapper : public TableStruct {
public:
    TableWrapper(core::Payload payload, uint32_t offset) : TableStruct(std::move(payload), offset, Table()) {}
};

using Persistent_Event_Log_Header_Wrapper = TableWrapper<logHeaderTable>;
using Persistent_Event_Log_Event_Header_Wrapper = TableWrapper<eventHeaderTable>;
using Smart_Health_Log_Snapshot_Event_Wrapper = TableWrapper<smartHealthSnapshotTable>;
using Firmware_Commit_Event_Wrapper = TableWrapper<firmwareCommitTable>;
using Timestamp_Change_Event_Wrapper = TableWrapper<timestampChangeTable>;
using Change_Namespace_Event_Wrapper = TableWrapper<changeNamespaceTable>;
using Format_NVM_Start_Event_Wrapper = TableWrapper<formatNvmStartTable>;
using Format_NVM_Completion_Event_Wrapper = TableWrapper<formatNvmCompletionTable>;
using Sanitize_Start_Event_Wrapper = TableWrapper<sanitizeStartTable>;
using Sanitize_Completion_Event_Wrapper = TableWrapper<sanitizeCompletionTable>;
using Telemetry_Log_Create_Event_Wrapper = TableWrapper<telemetryLogCreateTable>;
using Thermal_Excursion_Event_Wrapper = TableWrapper<thermalExcursionTable>;
using TCG_Defined_Event_Wrapper = TableWrapper<tcgDefinedTable>;
using Hardware_Error_Info_PCIe_Wrapper = TableWrapper<pcieErrorInfoTable>;
using PCI_Express_Link_Status_Wrapper = TableWrapper<pcieLinkStatusTable>;
using NVMe_SMART_Health_Critical_Warnings_Wrapper = TableWrapper<criticalWarningsTable>;
using Endurance_Group_Critical_Warning_Condition_Wrapper = TableWrapper<enduranceGroupWarningTable>;
using Unsafe_Shutdowns_Wrapper = TableWrapper<unsafeShutdownsTable>;
using Completion_Queue_Wrapper = TableWrapper<completionQueueTable>;
using Controller_Reset_Information_Wrapper = TableWrapper<controllerResetInformationTable>;
using Set_Feature_Command_Completion_Dword_0_Wrapper = TableWrapper<setFeatureCompletionDword0Table>;

// The views below span from their offset to the end of their payload: the walk hands each
// one a payload that holds exactly its event's data.

// Firmware_Revision, then one "Controller Reset Information n" child per 36-byte record.
class Power_On_or_Reset_Event_Wrapper : public TarnStruct {
public:
    Power_On_or_Reset_Event_Wrapper(core::Payload payload, uint32_t offset);
    void addProperties(features::decode::FieldSink& sink) const override;
};

// Error_Event_Code and Reserved, then the additional information of the structure the
// hardware-error registry gives for the code.
class NVM_Subsystem_Hardware_Error_Event_Wrapper : public TarnStruct {
public:
    NVM_Subsystem_Hardware_Error_Event_Wrapper(core::Payload payload, uint32_t offset);
    void addProperties(features::decode::FieldSink& sink) const override;
};

// The layout dword, then the command dwords it counts, the completion dword 0 when it says
// so, and the memory buffer of Memory_Buffer_Count bytes.
class Set_Feature_Event_Wrapper : public TarnStruct {
public:
    Set_Feature_Event_Wrapper(core::Payload payload, uint32_t offset);
    void addProperties(features::decode::FieldSink& sink) const override;
};

// The command dwords that lie in its payload (the event wrapper gives it those it logged).
class Set_Feature_Command_Dword_Wrapper : public TableStruct {
public:
    Set_Feature_Command_Dword_Wrapper(core::Payload payload, uint32_t offset);
    void addProperties(features::decode::FieldSink& sink) const override;
};

// The event data as "raw" bytes; its descriptors are in the vendor-specific information.
class Vendor_Specific_Event_Wrapper : public TarnStruct {
public:
    Vendor_Specific_Event_Wrapper(core::Payload payload, uint32_t offset);
    void addProperties(features::decode::FieldSink& sink) const override;
};

// A descriptor: its header, then Event_Data of the length the header gives. size() is the
// whole descriptor, so the next one starts after it.
template <const FieldTable& (*Table)()>
class DescriptorWrapper : public TableStruct {
public:
    DescriptorWrapper(core::Payload payload, uint32_t offset);
    void addProperties(features::decode::FieldSink& sink) const override;
};

using Vendor_Specific_Descriptor_Wrapper = DescriptorWrapper<vendorDescriptorTable>;
using Vendor_Specific_Descriptor_TCG_Wrapper = DescriptorWrapper<vendorDescriptorTcgTable>;

// The count bytes at offset as one "0x" property called name ("0x0" for none), as far as the
// payload holds them; when it ends first, a "Truncated" property follows and false is returned.
bool addRawBytes(features::decode::FieldSink& sink, const std::string& name, const core::Payload& payload,
                 uint64_t offset, uint64_t count);
// A payload of its own holding the count bytes of payload at offset, as many as it has.
// Views built over it cannot reach the bytes around them.
core::Payload copyOf(const core::Payload& payload, uint64_t offset, uint64_t count);
// Says in a "Truncated" property why a structure ends early.
void addTruncated(core::xml::XmlObject& object, const std::string& reason);
void addTruncated(features::decode::FieldSink& sink, const std::string& reason);
// An object with no position, called name, whose fields and children sink gets until endObject.
void beginObject(features::decode::FieldSink& sink, const std::string& name);

}  // namespace drivekit::features::nvme_get_log::pel
