#pragma once
// Writes objects as the JSON printer lays out the tree ("name", "position", "fields",
// "objects"); top-level objects are the elements of one array, separated by commas. Nothing of
// an object's layout waits for what comes after it except its children: its name and position
// are written when it begins and each field when it arrives, straight where the object goes,
// and only the children of an open object are held, to follow its fields.
#include <cstddef>
#include <string>
#include <vector>

#include "drivekit/features/decode/TextOutputSink.h"

namespace drivekit::features::decode {

class JsonSink : public TextOutputSink {
public:
    // Top-level objects start level steps deep.
    explicit JsonSink(unsigned level) : level_(level) {}

    void beginObject(std::string_view name, std::string_view key, const std::string* position) override;
    void field(std::string_view name, std::string_view value, const std::string* position) override;
    // A field with a slot is written from its text up to its value, made once for each depth.
    void tableField(const Field& field, std::string_view value, const std::string& position) override;
    void endObject() override;

private:
    struct FieldPieces {
        explicit FieldPieces(unsigned level);
        std::string open;      // the field's indent, "{" and the start of its name
        std::string position;  // from the end of its name to the start of its position
        std::string value;     // from the end of its name or position to the start of its value
        std::string close;     // from the end of its value to its "}"
    };
    struct Open {
        std::size_t fields = 0;
        std::string children;  // the child objects written so far; their room is kept
    };

    // The pieces of the fields of an object at depth.
    const FieldPieces& fieldPieces(std::size_t depth);
    // Where the object open at depth is written: its parent's children, or the output.
    std::string& destination(std::size_t depth) { return depth == 0 ? output_ : open_[depth - 1].children; }
    unsigned levelOf(std::size_t depth) const { return static_cast<unsigned>(level_ + 2 * depth); }

    // Where the field of the open object at depth goes, after the opening of its "fields".
    std::string& fieldDestination(std::size_t depth);

    unsigned level_;
    std::vector<FieldPieces> pieces_;
    std::vector<std::vector<std::string>> fieldStarts_;  // by depth, then slot: up to the value
    std::vector<Open> open_;  // held at each depth; those from depth_ on are spare
    std::size_t depth_ = 0;
};

}  // namespace drivekit::features::decode
