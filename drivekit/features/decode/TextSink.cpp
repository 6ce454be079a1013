#include "drivekit/features/decode/TextSink.h"

#include <algorithm>

#include "drivekit/features/decode/JsonMembers.h"

namespace drivekit::features::decode {

void TextSink::write(const Object& object, std::size_t depth, bool, std::string& out) {
    const auto level = static_cast<unsigned>(level_ + depth);
    JsonMembers::indent(level, out);
    out += object.name;
    if (!object.position.empty()) {
        out += " (";
        out += object.position;
        out += ')';
    }
    out += '\n';
    const auto fields = object.fields.begin() + static_cast<std::ptrdiff_t>(object.fieldCount);
    std::size_t widest = 0;
    for (auto field = object.fields.begin(); field != fields; ++field) {
        widest = std::max(widest, field->position.size());
    }
    for (auto field = object.fields.begin(); field != fields; ++field) {
        JsonMembers::indent(level + 1, out);
        if (widest > 0) {
            out += field->position;
            out.append(widest - field->position.size() + 2, ' ');
        }
        out += field->name;
        out += ": ";
        out += field->value;
        out += '\n';
    }
    out += object.children;
}

}  // namespace drivekit::features::decode
