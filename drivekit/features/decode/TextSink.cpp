#include "drivekit/features/decode/TextSink.h"

#include <algorithm>
#include <cstring>

#include "drivekit/features/decode/AppendPieces.h"
#include "drivekit/features/decode/JsonMembers.h"

namespace drivekit::features::decode {

void TextSink::holdField(Object& object, std::size_t, std::string_view name, std::string_view value,
                         const std::string* position) {
    HeldField& added = nextField(object);
    position != nullptr ? void(added.position = *position) : added.position.clear();
    appendPieces(object.fieldText, {name, ": ", value, "\n"});
    added.textEnd = object.fieldText.size();
}

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
    // Each line at once: its indent and the positions' padding are the spaces it starts as.
    const std::size_t indent = 2 * (level + 1);
    const std::size_t positionColumn = widest > 0 ? widest + 2 : 0;
    std::size_t textStart = 0;
    for (auto field = object.fields.begin(); field != fields; ++field) {
        const std::size_t at = out.size();
        out.append(indent + positionColumn, ' ');
        std::memcpy(&out[at + indent], field->position.data(), field->position.size());
        out.append(object.fieldText, textStart, field->textEnd - textStart);
        textStart = field->textEnd;
    }
    out += object.children;
}

}  // namespace drivekit::features::decode
