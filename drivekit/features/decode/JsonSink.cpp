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

void JsonSink::holdField(Object& object, std::size_t depth, std::string_view name, std::string_view value,
                         const std::string* position) {
    const FieldPieces& pieces = fieldPieces(depth);
    const std::string_view separator = object.fieldCount++ == 0 ? "\n" : ",\n";
    std::string& out = object.fieldText;
    const bool positioned = position != nullptr && !position->empty();
    if (JsonMembers::plain(name) && (!positioned || JsonMembers::plain(*position)) && JsonMembers::plain(value)) {
        positioned ? appendPieces(out, {separator, pieces.open, name, pieces.position, *position, pieces.value, value,
                                        pieces.close})
                   : appendPieces(out, {separator, pieces.open, name, pieces.value, value, pieces.close});
        return;
    }
    appendPieces(out, {separator, pieces.open});
    JsonMembers::appendEscaped(std::string(name), out);
    if (positioned) {
        out += pieces.position;
        JsonMembers::appendEscaped(*position, out);
    }
    out += pieces.value;
    JsonMembers::appendEscaped(std::string(value), out);
    out += pieces.close;
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
        members.openArray("fields");
        out += object.fieldText;
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
