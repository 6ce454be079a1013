#include "drivekit/features/decode/FieldRenderer.h"

#include <deque>
#include <mutex>

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

// The texts of the field being given to the sink. A sink takes its texts when it is called, so
// one pair of strings serves a whole walk, nested tables included, without allocating per field.
struct Texts {
    std::string label;
    std::string value;

    std::string& clearedLabel() {
        label.clear();
        return label;
    }
    std::string& clearedValue() {
        value.clear();
        return value;
    }
};

bool renderTable(const FieldTable& table, const core::Payload& payload, uint32_t base, FieldSink& sink,
                 Texts& texts);

void appendBitValue(std::string& out, const Field& field, const Parent& parent) {
    if (parent.data == nullptr || field.highBit >= parent.width * 8 || field.lowBit > field.highBit ||
        field.highBit - field.lowBit >= 64) {
        return;
    }
    const uint32_t count = field.highBit - field.lowBit + 1U;
    const uint64_t value = FieldFormatter::bitRange(parent.data, parent.width, field.highBit, field.lowBit);
    FieldFormatter::appendNumber(out, field.rendering, value, (count + 3U) / 4U);
}

bool renderRecords(const Field& field, const FieldTable& table, const core::Payload& payload,
                   uint32_t base, FieldSink& sink, Texts& texts) {
    const uint64_t span = static_cast<uint64_t>(field.width) * field.count;
    FieldFormatter::appendPosition(texts.clearedLabel(), table.style, field.offset, static_cast<uint32_t>(span));
    sink.beginObject(field.name, keyOf(field), &texts.label);
    bool complete = true;
    for (uint32_t i = 0; i < field.count && complete; ++i) {
        const uint32_t at = field.offset + i * field.width;
        const std::string entry = std::string(field.entryName) + " " + std::to_string(i);
        FieldFormatter::appendPosition(texts.clearedLabel(), table.style, at, field.width);
        sink.beginObject(entry, entry, &texts.label);
        complete = renderTable(*field.record, payload, base + at, sink, texts);
        sink.endObject();
    }
    sink.endObject();
    return complete;
}

// The field's position label: its own when the table has them, else made in texts.
const std::string& labelOf(const Field& field, const FieldTable& table, Texts& texts) {
    if (field.label != nullptr) {
        return *field.label;
    }
    std::string& label = texts.clearedLabel();
    if (field.kind == FieldKind::bits) {
        FieldFormatter::appendBitPosition(label, field.highBit, field.lowBit);
    } else {
        const uint32_t width = field.kind == FieldKind::structure ? field.record->size : field.width;
        FieldFormatter::appendPosition(label, table.style, field.offset, width);
    }
    return label;
}

// A reading row: its bytes lie inside the fields above it, so it is only skipped when the
// data ends before them (the walk has then already stopped at the field that did not fit).
void renderReading(const Field& field, const FieldTable& table, const core::Payload& payload,
                   uint32_t base, FieldSink& target, Texts& texts) {
    const uint8_t* data =
        FieldRenderer::bytesAt(payload, static_cast<uint64_t>(base) + field.offset, field.width);
    if (data != nullptr) {
        target.tableField(field, FieldFormatter::reading(field.rendering, data, field.width),
                          labelOf(field, table, texts));
    }
}

bool renderStructure(const Field& field, const FieldTable& table, const core::Payload& payload,
                     uint32_t base, FieldSink& sink, Texts& texts) {
    sink.beginObject(field.name, keyOf(field), &labelOf(field, table, texts));
    const bool complete = renderTable(*field.record, payload, base + field.offset, sink, texts);
    sink.endObject();
    return complete;
}

bool renderTable(const FieldTable& table, const core::Payload& payload, uint32_t base, FieldSink& target,
                 Texts& texts) {
    Parent parent;
    for (const Field& field : table.fields) {
        if (field.kind == FieldKind::records) {
            if (!renderRecords(field, table, payload, base, target, texts)) {
                return false;
            }
            continue;
        }
        if (field.kind == FieldKind::reading) {
            renderReading(field, table, payload, base, target, texts);
            continue;
        }
        if (field.kind == FieldKind::structure) {
            if (!renderStructure(field, table, payload, base, target, texts)) {
                return false;
            }
            continue;
        }
        if (field.kind == FieldKind::bits) {
            appendBitValue(texts.clearedValue(), field, parent);
            target.tableField(field, texts.value, labelOf(field, table, texts));
            continue;
        }
        const std::string& label = labelOf(field, table, texts);
        const uint8_t* data = FieldRenderer::bytesAt(payload, static_cast<uint64_t>(base) + field.offset, field.width);
        if (data == nullptr) {
            LOG_DEBUG("Field " << keyOf(field) << " at " << base + field.offset << " lies past the end of "
                               << payload.size() << " bytes");
            FieldRenderer::addTruncated(target, "the data ends before " + std::string(keyOf(field)), label);
            return false;
        }
        parent = Parent{data, field.width};
        if (field.kind == FieldKind::container) {
            continue;
        }
        FieldFormatter::appendValue(texts.clearedValue(), field.rendering, data, field.width);
        target.tableField(field, texts.value, label);
    }
    return true;
}

}  // namespace

void FieldRenderer::labelFields(FieldTable& table) {
    static std::mutex guard;
    static std::deque<std::string> labels;
    Texts texts;
    for (Field& field : table.fields) {
        if (field.kind != FieldKind::records) {
            std::string made = labelOf(field, table, texts);
            const std::lock_guard<std::mutex> lock(guard);
            field.label = &labels.emplace_back(std::move(made));
            field.slot = static_cast<uint32_t>(labels.size());
        }
    }
}

const uint8_t* FieldRenderer::bytesAt(const core::Payload& payload, uint64_t offset,
                                      uint64_t width) {
    if (width == 0 || offset + width > payload.size() || payload.empty()) {
        return nullptr;
    }
    return payload.data() + offset;  // the whole range is inside the buffer, checked above
}

bool FieldRenderer::render(const FieldTable& table, const core::Payload& payload, uint32_t base,
                           XmlObject& target) {
    XmlObjectSink sink(target);
    return render(table, payload, base, sink);
}

bool FieldRenderer::render(const FieldTable& table, const core::Payload& payload, uint32_t base,
                           FieldSink& target) {
    Texts texts;
    return renderTable(table, payload, base, target, texts);
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
