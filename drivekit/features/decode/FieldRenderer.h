#pragma once
// The one renderer of field tables: walks a table over a payload and adds one XML property
// per field ("name", "value", and the position label under "description").
#include <cstdint>
#include <memory>
#include <string>

#include "drivekit/core/Payload.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/decode/FieldSink.h"
#include "drivekit/features/decode/FieldTable.h"

namespace drivekit::features::decode {

class FieldRenderer {
public:
    // Name of the property that marks where a decode stopped because the data ran out
    // or reported a length that does not fit.
    static constexpr const char* truncatedName = "Truncated";

    // Renders table at base into target. A field that does not fit in the payload ends
    // the walk with a truncation marker; returns false then.
    static bool render(const FieldTable& table, const core::Payload& payload, uint32_t base,
                       core::xml::XmlObject& target);
    // The same walk into any sink: fields as fields, nested tables as objects.
    static bool render(const FieldTable& table, const core::Payload& payload, uint32_t base, FieldSink& target);
    // A new object called name (label as its position) holding the rendered table.
    static std::unique_ptr<core::xml::XmlObject> renderObject(const FieldTable& table,
                                                              const core::Payload& payload,
                                                              uint32_t base,
                                                              const std::string& name,
                                                              const std::string& label);

    static void addField(core::xml::XmlObject& target, const std::string& name,
                         const std::string& value, const std::string& label);
    static void addTruncated(core::xml::XmlObject& target, const std::string& reason,
                             const std::string& label);
    static void addField(FieldSink& target, std::string_view name, const std::string& value,
                         const std::string& label);
    static void addTruncated(FieldSink& target, const std::string& reason, const std::string& label);

    // Gives each field of table (but records) its position label, kept for the program's life,
    // so that walks of the table do not format them again.
    static void labelFields(FieldTable& table);

    // width bytes at offset, or null when they are not all inside the payload.
    static const uint8_t* bytesAt(const core::Payload& payload, uint64_t offset, uint64_t width);
};

}  // namespace drivekit::features::decode
