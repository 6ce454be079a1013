#pragma once
// Writes objects as the JSON printer lays out the tree ("name", "position", "fields",
// "objects"); top-level objects are the elements of one array, separated by commas.
#include <string>
#include <vector>

#include "drivekit/features/decode/BufferedObjectSink.h"

namespace drivekit::features::decode {

class JsonSink : public BufferedObjectSink {
public:
    // Top-level objects start level steps deep.
    explicit JsonSink(unsigned level) : level_(level) {}

protected:
    void write(const Object& object, std::size_t depth, bool first, std::string& out) override;
    // A field's text does not depend on the fields after it: it is written when it arrives.
    void holdField(Object& object, std::size_t depth, std::string_view name, std::string_view value,
                   const std::string* position) override;

private:
    struct FieldPieces {
        explicit FieldPieces(unsigned level);
        std::string open;      // the field's indent, "{" and the start of its name
        std::string position;  // from the end of its name to the start of its position
        std::string value;     // from the end of its name or position to the start of its value
        std::string close;     // from the end of its value to its "}"
    };
    // The pieces of the fields of an object at depth.
    const FieldPieces& fieldPieces(std::size_t depth);

    unsigned level_;
    std::vector<FieldPieces> pieces_;
};

}  // namespace drivekit::features::decode
