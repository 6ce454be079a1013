#include "drivekit/features/nvme_get_log/pel/PelRegistries.h"

#include "drivekit/features/decode/XmlObjectSink.h"
#include "drivekit/features/nvme_get_log/pel/PelWrappers.h"

namespace drivekit::features::nvme_get_log::pel {

namespace {

struct Registries {
    StructRegistry logStructures;
    StructRegistry eventTypes;
    StructRegistry hardwareErrorCodes;
    StructRegistry subStructures;
};

Registries fill() {
    Registries r;
    r.logStructures.add(logStructure::header, structEntry<Persistent_Event_Log_Header_Wrapper>());
    r.logStructures.add(logStructure::eventHeader, structEntry<Persistent_Event_Log_Event_Header_Wrapper>());

    r.eventTypes.add(0x01, structEntry<Smart_Health_Log_Snapshot_Event_Wrapper>());
    r.eventTypes.add(0x02, structEntry<Firmware_Commit_Event_Wrapper>());
    r.eventTypes.add(0x03, structEntry<Timestamp_Change_Event_Wrapper>());
    r.eventTypes.add(0x04, structEntry<Power_On_or_Reset_Event_Wrapper>());
    r.eventTypes.add(0x05, structEntry<NVM_Subsystem_Hardware_Error_Event_Wrapper>());
    r.eventTypes.add(0x06, structEntry<Change_Namespace_Event_Wrapper>());
    r.eventTypes.add(0x07, structEntry<Format_NVM_Start_Event_Wrapper>());
    r.eventTypes.add(0x08, structEntry<Format_NVM_Completion_Event_Wrapper>());
    r.eventTypes.add(0x09, structEntry<Sanitize_Start_Event_Wrapper>());
    r.eventTypes.add(0x0A, structEntry<Sanitize_Completion_Event_Wrapper>());
    r.eventTypes.add(0x0B, structEntry<Set_Feature_Event_Wrapper>());
    r.eventTypes.add(0x0C, structEntry<Telemetry_Log_Create_Event_Wrapper>());
    r.eventTypes.add(0x0D, structEntry<Thermal_Excursion_Event_Wrapper>());
    r.eventTypes.add(0xDE, structEntry<Vendor_Specific_Event_Wrapper>());
    r.eventTypes.add(0xDF, structEntry<TCG_Defined_Event_Wrapper>());

    r.hardwareErrorCodes.add(0x04, structEntry<PCI_Express_Link_Status_Wrapper>());
    r.hardwareErrorCodes.add(0x06, structEntry<NVMe_SMART_Health_Critical_Warnings_Wrapper>());
    r.hardwareErrorCodes.add(0x07, structEntry<Endurance_Group_Critical_Warning_Condition_Wrapper>());
    r.hardwareErrorCodes.add(0x08, structEntry<Unsafe_Shutdowns_Wrapper>());
    r.hardwareErrorCodes.add(0x0A, structEntry<Completion_Queue_Wrapper>());
    r.hardwareErrorCodes.setFallback(structEntry<Hardware_Error_Info_PCIe_Wrapper>());

    r.subStructures.add(subStructure::controllerResetInformation, structEntry<Controller_Reset_Information_Wrapper>());
    r.subStructures.add(subStructure::setFeatureCommandDwords, structEntry<Set_Feature_Command_Dword_Wrapper>());
    r.subStructures.add(subStructure::setFeatureCompletionDword0,
                        structEntry<Set_Feature_Command_Completion_Dword_0_Wrapper>());
    r.subStructures.add(subStructure::vendorDescriptor, structEntry<Vendor_Specific_Descriptor_Wrapper>());
    r.subStructures.add(subStructure::vendorDescriptorTcg, structEntry<Vendor_Specific_Descriptor_TCG_Wrapper>());
    return r;
}

const Registries& registries() {
    static const Registries filled = fill();
    return filled;
}

}  // namespace

void StructRegistry::add(uint32_t key, StructEntry entry) { entries_[key] = entry; }

void StructRegistry::setFallback(StructEntry entry) { fallback_ = entry; }

std::vector<uint32_t> StructRegistry::keys() const {
    std::vector<uint32_t> keys;
    for (const auto& entry : entries_) {
        keys.push_back(entry.first);
    }
    return keys;
}

const StructEntry& StructRegistry::entryOf(uint32_t key) const {
    const auto found = entries_.find(key);
    return found == entries_.end() ? fallback_ : found->second;
}

std::unique_ptr<TarnStruct> StructRegistry::create(uint32_t key, const core::Payload& payload, uint32_t offset) const {
    const StructEntry& entry = entryOf(key);
    return entry.make != nullptr ? entry.make(payload, offset) : nullptr;
}

bool StructRegistry::addTo(features::decode::FieldSink& sink, uint32_t key, const core::Payload& payload,
                           uint32_t offset) const {
    const StructEntry& entry = entryOf(key);
    return entry.render != nullptr && entry.render(sink, payload, offset);
}

bool StructRegistry::addTo(core::xml::XmlObject& object, uint32_t key, const core::Payload& payload,
                           uint32_t offset) const {
    features::decode::XmlObjectSink sink(object);
    return addTo(sink, key, payload, offset);
}

const StructRegistry& logStructures() { return registries().logStructures; }
const StructRegistry& eventTypes() { return registries().eventTypes; }
const StructRegistry& hardwareErrorCodes() { return registries().hardwareErrorCodes; }
const StructRegistry& subStructures() { return registries().subStructures; }

}  // namespace drivekit::features::nvme_get_log::pel
