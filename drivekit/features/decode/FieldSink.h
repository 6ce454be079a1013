#pragma once
// Where the field renderer puts what it decodes: a stream of objects and fields. An object's
// fields and child objects may come in any order; a sink shows an object's fields before its
// children, as the XML tree keeps them.
#include <string>
#include <string_view>

#include "drivekit/features/decode/FieldTable.h"

namespace drivekit::features::decode {

class FieldSink {
public:
    virtual ~FieldSink() = default;

    // Opens a child of the open object (or a top-level object). name is what a reader sees,
    // key the structure's own name for it; position is null when the object has none.
    virtual void beginObject(std::string_view name, std::string_view key, const std::string* position) = 0;
    // A field of the open object; position is null when it has none (not even an empty one).
    virtual void field(std::string_view name, std::string_view value, const std::string* position) = 0;
    // The same for a field of a table, its position the field's label: a sink may keep what it
    // makes of a field with a slot (its name and label never change) from one call to the next.
    virtual void tableField(const Field& field, std::string_view value, const std::string& position) {
        this->field(field.name, value, &position);
    }
    virtual void endObject() = 0;
};

}  // namespace drivekit::features::decode
