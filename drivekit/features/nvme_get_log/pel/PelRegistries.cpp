#include "drivekit/features/nvme_get_log/pel/PelRegistries.h"

#include "drivekit/features/decode/XmlObjectSink.h"
#include "drivekit/features/nvme_get_log/pel/PelWrappers.h"

namespace drivekit::features::nvme_get_log::pel {

namespace {

template <typename Wrapper>
StructFactory factory() {
    return [](const core::Payload& payload, uint32_t offset) { return std::make_unique<Wrapper>(payload, offset); };
}

struct Registries {
    StructRegistry logStructures;
    StructRegistry eventTypes;
    StructRegistry hardwareErrorCodes;
    StructRegistry subStructures;
};

Registries fill() {
    Registries r;
    r.logStructures.add(logStructure::header, factory<Persistent_Event_Log_Header_Wrapper>());
    r.logStructures.add(logStructure::eventHeader, factory<Persistent_Event_Log_Event_Header_Wrapper>());

    r.eventTypes.add(0x01, factory<Smart_Health_Log_Snapshot_Event_Wrapper>());
    r.eventTypes.add(0x02, factory<Firmware_Commit_Event_Wrapper>());
    r.eventTypes.add(0x03, factory<Timestamp_Change_Event_Wrapper>());
    r.eventTypes.add(0x04, factory<Power_On_or_Reset_Event_Wrapper>());
    r.eventTypes.add(0x05, factory<NVM_Subsystem_Hardware_Error_Event_Wrapper>());
    r.eventTypes.add(0x06, factory<Change_Namespace_Event_Wrapper>());
    r.eventTypes.add(0x07, factory<Format_NVM_Start_Event_Wrapper>());
    r.eventTypes.add(0x08, factory<Format_NVM_Completion_Event_Wrapper>());
    r.eventTypes.add(0x09, factory<Sanitize_Start_Event_Wrapper>());
    r.eventTypes.add(0x0A, factory<Sanitize_Completion_Event_Wrapper>());
    r.eventTypes.add(0x0B, factory<Set_Feature_Event_Wrapper>());
    r.eventTypes.add(0x0C, factory<Telemetry_Log_Create_Event_Wrapper>());
    r.eventTypes.add(0x0D, factory<Thermal_Excursion_Event_Wrapper>());
    r.eventTypes.add(0xDE, factory<Vendor_Specific_Event_Wrapper>());
    r.eventTypes.add(0xDF, factory<TCG_Defined_Event_Wrapper>());

    r.hardwareErrorCodes.add(0x04, factory<PCI_Express_Link_Status_Wrapper>());
    r.hardwareErrorCodes.add(0x06, factory<NVMe_SMART_Health_Critical_Warnings_Wrapper>());
    r.hardwareErrorCodes.add(0x07, factory<Endurance_Group_Critical_Warning_Condition_Wrapper>());
    r.hardwareErrorCodes.add(0x08, factory<Unsafe_Shutdowns_Wrapper>());
    r.hardwareErrorCodes.add(0x0A, factory<Completion_Queue_Wrapper>());
    r.hardwareErrorCodes.setFallback(factory<Hardware_Error_Info_PCIe_Wrapper>());

    r.subStructures.add(subStructure::controllerResetInformation, factory<Controller_Reset_Information_Wrapper>());
    r.subStructures.add(subStructure::setFeatureCommandDwords, factory<Set_Feature_Command_Dword_Wrapper>());
    r.subStructures.add(subStructure::setFeatureCompletionDword0,
                        factory<Set_Feature_Command_Completion_Dword_0_Wrapper>());
    r.subStructures.add(subStructure::vendorDescriptor, factory<Vendor_Specific_Descriptor_Wrapper>());
    r.subStructures.add(subStructure::vendorDescriptorTcg, factory<Vendor_Specific_Descriptor_TCG_Wrapper>());
    return r;
}

const Registries& registries() {
    static const Registries filled = fill();
    return filled;
}

}  // namespace

void StructRegistry::add(uint32_t key, StructFactory factory) { factories_[key] = std::move(factory); }

void StructRegistry::setFallback(StructFactory factory) { fallback_ = std::move(factory); }

std::vector<uint32_t> StructRegistry::keys() const {
    std::vector<uint32_t> keys;
    for (const auto& entry : factories_) {
        keys.push_back(entry.first);
    }
    return keys;
}

std::unique_ptr<TarnStruct> StructRegistry::create(uint32_t key, const core::Payload& payload, uint32_t offset) const {
    const auto found = factories_.find(key);
    const StructFactory& make = found == factories_.end() ? fallback_ : found->second;
    return make ? make(payload, offset) : nullptr;
}

bool StructRegistry::addTo(features::decode::FieldSink& sink, uint32_t key, const core::Payload& payload,
                           uint32_t offset) const {
    const auto view = create(key, payload, offset);
    if (!view) {
        return false;
    }
    view->addProperties(sink);
    return view->fits();
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
