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

void JsonSink::beginObject(std::string_view name, std::string_view, const std::string* position) {
    const std::size_t depth = depth_++;
    if (open_.size() < depth_) {
        open_.emplace_back();
    }
    open_[depth].fields = 0;
    open_[depth].children.clear();
    std::string& out = destination(depth);
    // A child is an element of its parent's "objects"; top-level objects are separated too.
    if (depth > 0) {
        out += out.empty() ? "\n" : ",\n";
    } else if (!firstOutput_) {
        out += ",\n";
    }
    firstOutput_ = firstOutput_ && depth > 0;
    const unsigned level = levelOf(depth);
    JsonMembers::indent(level, out);
    out += '{';
    JsonMembers::appendKey("name", level, true, out);
    JsonMembers::appendQuoted(name, out);
    if (position != nullptr && !position->empty()) {
        JsonMembers::appendKey("position", level, false, out);
        JsonMembers::appendQuoted(*position, out);
    }
}

std::string& JsonSink::fieldDestination(std::size_t depth) {
    std::string& out = destination(depth);
    if (open_[depth].fields++ == 0) {
        JsonMembers::appendKey("fields", levelOf(depth), false, out);
        out += '[';
    }
    return out;
}

void JsonSink::tableField(const Field& field, std::string_view value, const std::string& position) {
    if (field.slot == 0 || &position != field.label || depth_ == 0 || !JsonMembers::plain(value)) {
        this->field(field.name, value, &position);
        return;
    }
    const std::size_t depth = depth_ - 1;
    if (fieldStarts_.size() <= depth) {
        fieldStarts_.resize(depth + 1);
    }
    std::vector<std::string>& starts = fieldStarts_[depth];
    if (starts.size() <= field.slot) {
        starts.resize(field.slot + 1);
    }
    std::string& start = starts[field.slot];
    const FieldPieces& pieces = fieldPieces(depth);
    if (start.empty()) {
        start = pieces.open;
        JsonMembers::appendEscaped(field.name, start);
        if (!position.empty()) {
            start += pieces.position;
            JsonMembers::appendEscaped(position, start);
        }
        start += pieces.value;
    }
    std::string& out = fieldDestination(depth);
    const std::string_view separator =
        open_[depth].fields == 1 ? std::string_view("\n") : std::string_view(",\n");
    appendPieces(out, {separator, start, value, pieces.close});
}

void JsonSink::field(std::string_view name, std::string_view value, const std::string* position) {
    if (depth_ == 0) {
        return;  // a field belongs to an object
    }
    const std::size_t depth = depth_ - 1;
    std::string& out = fieldDestination(depth);
    const FieldPieces& pieces = fieldPieces(depth);
    const std::string_view separator = open_[depth].fields == 1 ? std::string_view("\n") : std::string_view(",\n");
    appendPieces(out, {separator, pieces.open});
    JsonMembers::appendEscaped(name, out);
    if (position != nullptr && !position->empty()) {
        out += pieces.position;
        JsonMembers::appendEscaped(*position, out);
    }
    out += pieces.value;
    JsonMembers::appendEscaped(value, out);
    out += pieces.close;
}

void JsonSink::endObject() {
    if (depth_ == 0) {
        return;
    }
    const std::size_t depth = --depth_;
    const unsigned level = levelOf(depth);
    std::string& out = destination(depth);
    if (open_[depth].fields > 0) {
        JsonMembers::appendClose(level + 1, ']', out);
    }
    if (!open_[depth].children.empty()) {
        JsonMembers::appendKey("objects", level, false, out);
        out += '[';
        out += open_[depth].children;
        JsonMembers::appendClose(level + 1, ']', out);
    }
    JsonMembers::appendClose(level, '}', out);
}

}  // namespace drivekit::features::decode
