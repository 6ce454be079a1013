#include "drivekit/features/decode/FieldRenderer.h"

#include "drivekit/core/logging/Log.h"
#include "drivekit/core/xml/XmlProperty.h"
#include "drivekit/features/decode/FieldFormatter.h"
#include "drivekit/features/decode/XmlObjectSink.h"

namespace drivekit::features::decode {

using core::xml::XmlObject;

namespace {

// The value field that the bit rows below it refer to.
struct Parent {
    const uint8_t* data = nullptr;
    uint32_t width = 0;
};

std::string bitValue(const Field& field, const Parent& parent) {
    if (parent.data == nullptr || field.highBit >= parent.width * 8 || field.lowBit > field.highBit ||
        field.highBit - field.lowBit >= 64) {
        return {};
    }
    const uint32_t count = field.highBit - field.lowBit + 1U;
    const uint64_t value = FieldFormatter::bitRange(parent.data, parent.width, field.highBit, field.lowBit);
    return FieldFormatter::number(field.rendering, value, (count + 3U) / 4U);
}

bool renderRecords(const Field& field, const FieldTable& table, const core::Payload& payload,
                   uint32_t base, FieldSink& sink) {
    const uint64_t span = static_cast<uint64_t>(field.width) * field.count;
    const std::string_view name = field.name;
    const std::string groupPosition =
        FieldFormatter::position(table.style, field.offset, static_cast<uint32_t>(span));
    sink.beginObject(name, name, &groupPosition);
    bool complete = true;
    for (uint32_t i = 0; i < field.count && complete; ++i) {
        const uint32_t at = field.offset + i * field.width;
        const std::string entry = std::string(field.entryName) + " " + std::to_string(i);
        const std::string position = FieldFormatter::position(table.style, at, field.width);
        sink.beginObject(entry, entry, &position);
        complete = FieldRenderer::render(*field.record, payload, base + at, sink);
        sink.endObject();
    }
    sink.endObject();
    return complete;
}

// A reading row: its bytes lie inside the fields above it, so it is only skipped when the
// data ends before them (the walk has then already stopped at the field that did not fit).
void renderReading(const Field& field, const FieldTable& table, const core::Payload& payload,
                   uint32_t base, FieldSink& target) {
    const uint8_t* data =
        FieldRenderer::bytesAt(payload, static_cast<uint64_t>(base) + field.offset, field.width);
    if (data != nullptr) {
        FieldRenderer::addField(target, field.name,
                                FieldFormatter::reading(field.rendering, data, field.width),
                                FieldFormatter::position(table.style, field.offset, field.width));
    }
}

bool renderStructure(const Field& field, const FieldTable& table, const core::Payload& payload,
                     uint32_t base, FieldSink& sink) {
    const std::string_view name = field.name;
    const std::string position = FieldFormatter::position(table.style, field.offset, field.record->size);
    sink.beginObject(name, name, &position);
    const bool complete = FieldRenderer::render(*field.record, payload, base + field.offset, sink);
    sink.endObject();
    return complete;
}

}  // namespace

const uint8_t* FieldRenderer::bytesAt(const core::Payload& payload, uint64_t offset,
                                      uint64_t width) {
    if (width == 0 || offset + width > payload.size() || payload.empty()) {
        return nullptr;
    }
    // Both ends go through the checked view, so the range in between is inside the buffer.
    payload.safeCast<uint8_t>(static_cast<uint32_t>(offset + width - 1));
    return payload.safeCast<uint8_t>(static_cast<uint32_t>(offset));
}

bool FieldRenderer::render(const FieldTable& table, const core::Payload& payload, uint32_t base,
                           XmlObject& target) {
    XmlObjectSink sink(target);
    return render(table, payload, base, sink);
}

bool FieldRenderer::render(const FieldTable& table, const core::Payload& payload, uint32_t base,
                           FieldSink& target) {
    Parent parent;
    for (const Field& field : table.fields) {
        if (field.kind == FieldKind::records) {
            if (!renderRecords(field, table, payload, base, target)) {
                return false;
            }
            continue;
        }
        if (field.kind == FieldKind::reading) {
            renderReading(field, table, payload, base, target);
            continue;
        }
        if (field.kind == FieldKind::structure) {
            if (!renderStructure(field, table, payload, base, target)) {
                return false;
            }
            continue;
        }
        if (field.kind == FieldKind::bits) {
            addField(target, field.name, bitValue(field, parent),
                     FieldFormatter::bitPosition(field.highBit, field.lowBit));
            continue;
        }
        const std::string label = FieldFormatter::position(table.style, field.offset, field.width);
        const uint8_t* data = bytesAt(payload, static_cast<uint64_t>(base) + field.offset, field.width);
        if (data == nullptr) {
            LOG_DEBUG("Field " << field.name << " at " << base + field.offset
                               << " lies past the end of " << payload.size() << " bytes");
            addTruncated(target, "the data ends before " + std::string(field.name), label);
            return false;
        }
        parent = Parent{data, field.width};
        if (field.kind == FieldKind::container) {
            continue;
        }
        addField(target, field.name, FieldFormatter::value(field.rendering, data, field.width), label);
    }
    return true;
}

std::unique_ptr<XmlObject> FieldRenderer::renderObject(const FieldTable& table,
                                                       const core::Payload& payload, uint32_t base,
                                                       const std::string& name,
                                                       const std::string& label) {
    auto object = std::make_unique<XmlObject>(name);
    if (!label.empty()) {
        object->setAttribute(core::xml::keys::description, label);
    }
    render(table, payload, base, *object);
    return object;
}

void FieldRenderer::addField(XmlObject& target, const std::string& name, const std::string& value,
                             const std::string& label) {
    target.addProperty(name, value).setAttribute(core::xml::keys::description, label);
}

void FieldRenderer::addField(FieldSink& target, std::string_view name, const std::string& value,
                             const std::string& label) {
    target.field(name, value, &label);
}

void FieldRenderer::addTruncated(XmlObject& target, const std::string& reason,
                                 const std::string& label) {
    addField(target, truncatedName, reason, label);
}

void FieldRenderer::addTruncated(FieldSink& target, const std::string& reason, const std::string& label) {
    addField(target, truncatedName, reason, label);
}

}  // namespace drivekit::features::decode
