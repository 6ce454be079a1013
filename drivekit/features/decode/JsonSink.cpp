#include "drivekit/features/decode/JsonSink.h"

#include "drivekit/features/decode/JsonMembers.h"

namespace drivekit::features::decode {

void JsonSink::write(const Object& object, std::size_t depth, bool first, std::string& out) {
    // A child is an element of its parent's "objects", two levels deeper.
    const auto level = static_cast<unsigned>(level_ + 2 * depth);
    if (depth > 0) {
        out += first ? "\n" : ",\n";
    } else if (!first) {
        out += ",\n";
    }
    JsonMembers::indent(level, out);
    JsonMembers members(out, level);
    members.string("name", object.name);
    if (!object.position.empty()) {
        members.string("position", object.position);
    }
    if (object.fieldCount > 0) {
        members.openArray("fields");
        for (std::size_t i = 0; i < object.fieldCount; ++i) {
            const Field& field = object.fields[i];
            members.element();
            JsonMembers member(out, level + 2);
            member.string("name", field.name);
            if (!field.position.empty()) {
                member.string("position", field.position);
            }
            member.string("value", field.value);
            member.close();
        }
        members.closeArray();
    }
    if (!object.children.empty()) {
        members.openArray("objects");
        out += object.children;
        members.closeArray();
    }
    members.close();
}

}  // namespace drivekit::features::decode
