#include "drivekit/features/decode/JsonSink.h"

#include "drivekit/features/decode/AppendPieces.h"
#include "drivekit/features/decode/JsonMembers.h"

namespace drivekit::features::decode {

namespace {

std::string indented(unsigned level, const char* text) {
    std::string out;
    JsonMembers::indent(level, out);
    return out + text;
}

}  // namespace

// A field is written as four fixed pieces around its three texts: the layout of a field at a
// depth never changes, and one append per piece is much faster than one per character run.
JsonSink::FieldPieces::FieldPieces(unsigned level)
    : open(indented(level, "{\n") + indented(level + 1, "\"name\": \"")),
      position("\",\n" + indented(level + 1, "\"position\": \"")),
      value("\",\n" + indented(level + 1, "\"value\": \"")),
      close("\"\n" + indented(level, "}")) {}

const JsonSink::FieldPieces& JsonSink::fieldPieces(std::size_t depth) {
    while (pieces_.size() <= depth) {
        // A field is an element of its object's "fields", two levels deeper than the object.
        pieces_.emplace_back(static_cast<unsigned>(level_ + 2 * pieces_.size() + 2));
    }
    return pieces_[depth];
}

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
        const FieldPieces& pieces = fieldPieces(depth);
        members.openArray("fields");
        for (std::size_t i = 0; i < object.fieldCount; ++i) {
            const Field& field = object.fields[i];
            const std::string_view separator = i == 0 ? "\n" : ",\n";
            if (JsonMembers::plain(field.name) && JsonMembers::plain(field.position) &&
                JsonMembers::plain(field.value)) {
                field.position.empty()
                    ? appendPieces(out, {separator, pieces.open, field.name, pieces.value, field.value, pieces.close})
                    : appendPieces(out, {separator, pieces.open, field.name, pieces.position, field.position,
                                         pieces.value, field.value, pieces.close});
                continue;
            }
            out += separator;
            out += pieces.open;
            JsonMembers::appendEscaped(field.name, out);
            if (!field.position.empty()) {
                out += pieces.position;
                JsonMembers::appendEscaped(field.position, out);
            }
            out += pieces.value;
            JsonMembers::appendEscaped(field.value, out);
            out += pieces.close;
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
