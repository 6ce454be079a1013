#include "drivekit/features/nvme_get_log/pel/PelWrappers.h"

#include <algorithm>

#include "drivekit/core/LittleEndian.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/decode/FieldFormatter.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/nvme_get_log/pel/PelRegistries.h"

namespace drivekit::features::nvme_get_log::pel {

using core::xml::XmlObject;
using features::decode::FieldFormatter;
using features::decode::FieldRenderer;
using features::decode::FieldSink;

namespace {

// The bytes from offset to the end of the payload (none when offset lies past it).
uint32_t restOf(const core::Payload& payload, uint32_t offset) {
    return offset < payload.size() ? payload.size() - offset : 0;
}

uint64_t numberAt(const core::Payload& payload, uint64_t offset, uint32_t width) {
    const uint8_t* data = FieldRenderer::bytesAt(payload, offset, width);
    return data == nullptr ? 0 : core::readLittleEndian(data, width);
}

}  // namespace

void addTruncated(XmlObject& object, const std::string& reason) {
    object.addProperty(FieldRenderer::truncatedName, reason);
}

void addTruncated(FieldSink& sink, const std::string& reason) {
    sink.field(FieldRenderer::truncatedName, reason, nullptr);
}

void beginObject(FieldSink& sink, const std::string& name) { sink.beginObject(name, name, nullptr); }

core::Payload copyOf(const core::Payload& payload, uint64_t offset, uint64_t count) {
    const uint64_t held = offset < payload.size() ? std::min<uint64_t>(count, payload.size() - offset) : 0;
    const uint8_t* data = FieldRenderer::bytesAt(payload, offset, held);
    return data == nullptr ? core::Payload() : core::Payload(data, held);
}

bool addRawBytes(FieldSink& sink, const std::string& name, const core::Payload& payload, uint64_t offset,
                 uint64_t count) {
    const uint64_t held = offset < payload.size() ? std::min<uint64_t>(count, payload.size() - offset) : 0;
    const uint8_t* data = FieldRenderer::bytesAt(payload, offset, held);
    sink.field(name, FieldFormatter::prefixedHex(data, data == nullptr ? 0 : static_cast<uint32_t>(held)), nullptr);
    if (held < count) {
        addTruncated(sink, "the data ends " + std::to_string(count - held) + " bytes before the end of " + name);
        return false;
    }
    return true;
}

TableStruct::TableStruct(core::Payload payload, uint32_t offset, const FieldTable& table)
    : TarnStruct(std::move(payload), offset, table.size, table.title.c_str()), table_(table) {}

bool TableStruct::render(const FieldTable& table, const core::Payload& payload, uint32_t offset, FieldSink& sink) {
    return FieldRenderer::render(table, payload, offset, sink);
}

void TableStruct::addProperties(FieldSink& sink) const {
    render(table_, payload_, offset_, sink);
}

Power_On_or_Reset_Event_Wrapper::Power_On_or_Reset_Event_Wrapper(core::Payload payload, uint32_t offset)
    : TarnStruct(payload, offset, restOf(payload, offset), "Power_On_or_Reset_Event_Wrapper") {}

void Power_On_or_Reset_Event_Wrapper::addProperties(FieldSink& sink) const {
    const FieldTable& head = powerOnOrResetTable();
    if (!TableStruct::render(head, payload_, offset_, sink)) {
        return;
    }
    uint32_t number = 1;
    for (uint64_t at = uint64_t{offset_} + head.size; at < payload_.size();
         at += controllerResetInformationBytes, ++number) {
        beginObject(sink, "Controller Reset Information " + std::to_string(number));
        subStructures().addTo(sink, subStructure::controllerResetInformation, payload_, static_cast<uint32_t>(at));
        sink.endObject();
    }
}

NVM_Subsystem_Hardware_Error_Event_Wrapper::NVM_Subsystem_Hardware_Error_Event_Wrapper(core::Payload payload,
                                                                                       uint32_t offset)
    : TarnStruct(payload, offset, restOf(payload, offset), "NVM_Subsystem_Hardware_Error_Event_Wrapper") {}

void NVM_Subsystem_Hardware_Error_Event_Wrapper::addProperties(FieldSink& sink) const {
    const FieldTable& head = hardwareErrorEventTable();
    if (!TableStruct::render(head, payload_, offset_, sink)) {
        return;
    }
    const uint32_t additional = offset_ + head.size;
    if (additional < payload_.size()) {
        const auto code = static_cast<uint32_t>(numberAt(payload_, offset_, 2));
        hardwareErrorCodes().addTo(sink, code, payload_, additional);
    }
}

Set_Feature_Event_Wrapper::Set_Feature_Event_Wrapper(core::Payload payload, uint32_t offset)
    : TarnStruct(payload, offset, restOf(payload, offset), "Set_Feature_Event_Wrapper") {}

void Set_Feature_Event_Wrapper::addProperties(FieldSink& sink) const {
    if (!TableStruct::render(setFeatureTable(), payload_, offset_, sink)) {
        return;
    }
    const uint64_t layout = numberAt(payload_, offset_, setFeatureLayoutBytes);
    const uint32_t dwordBytes = 4 * static_cast<uint32_t>(layout & 0x7);
    const bool completionLogged = (layout >> 3 & 1) != 0;
    const uint64_t bufferBytes = layout >> 16;
    uint64_t at = uint64_t{offset_} + setFeatureLayoutBytes;

    // The dword view shows the dwords its payload holds: give it those the event logged.
    const core::Payload dwords = copyOf(payload_, at, dwordBytes);
    if (dwords.size() > 0) {
        subStructures().addTo(sink, subStructure::setFeatureCommandDwords, dwords, 0);
    }
    if (dwords.size() < dwordBytes) {
        addTruncated(sink, "the data ends within the logged command dwords");
        return;
    }
    at += dwordBytes;
    if (completionLogged) {
        const auto completionAt = static_cast<uint32_t>(std::min<uint64_t>(at, payload_.size()));
        if (!subStructures().addTo(sink, subStructure::setFeatureCompletionDword0, payload_, completionAt)) {
            return;
        }
        at += setFeatureCompletionDword0Table().size;
    }
    if (bufferBytes > 0) {
        addRawBytes(sink, "Memory Buffer", payload_, at, bufferBytes);
    }
}

Set_Feature_Command_Dword_Wrapper::Set_Feature_Command_Dword_Wrapper(core::Payload payload, uint32_t offset)
    : TableStruct(std::move(payload), offset, setFeatureCommandDwordsTable()) {}

void Set_Feature_Command_Dword_Wrapper::addProperties(FieldSink& sink) const {
    // The leading fields that lie in the payload: a value and the bit rows under it.
    const uint32_t held = restOf(payload_, offset_);
    FieldTable logged{table_.title, table_.style, held, {}};
    for (const auto& field : table_.fields) {
        if (field.kind == features::decode::FieldKind::value && field.offset + field.width > held) {
            break;
        }
        logged.fields.push_back(field);
    }
    render(logged, payload_, offset_, sink);
}

Vendor_Specific_Event_Wrapper::Vendor_Specific_Event_Wrapper(core::Payload payload, uint32_t offset)
    : TarnStruct(payload, offset, restOf(payload, offset), "Vendor_Specific_Event_Wrapper") {}

void Vendor_Specific_Event_Wrapper::addProperties(FieldSink& sink) const {
    addRawBytes(sink, "raw", payload_, offset_, size_);
}

template <const FieldTable& (*Table)()>
DescriptorWrapper<Table>::DescriptorWrapper(core::Payload payload, uint32_t offset)
    : TableStruct(std::move(payload), offset, Table()) {
    // Event_Data_Length is the last field of the descriptor's header.
    size_ = vendorDescriptorHeaderBytes +
            static_cast<uint32_t>(numberAt(payload_, uint64_t{offset_} + vendorDescriptorHeaderBytes - 2, 2));
}

template <const FieldTable& (*Table)()>
void DescriptorWrapper<Table>::addProperties(FieldSink& sink) const {
    if (!render(table_, payload_, offset_, sink)) {
        return;
    }
    addRawBytes(sink, "Event Data", payload_, uint64_t{offset_} + vendorDescriptorHeaderBytes,
                size_ - vendorDescriptorHeaderBytes);
}

template class DescriptorWrapper<vendorDescriptorTable>;
template class DescriptorWrapper<vendorDescriptorTcgTable>;

}  // namespace drivekit::features::nvme_get_log::pel
