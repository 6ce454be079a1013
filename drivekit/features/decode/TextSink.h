#pragma once
// Writes objects as the text printer prints the tree: a line per object, a line per field
// with the fields' positions aligned within their object, two spaces of indent per level.
#include "drivekit/features/decode/BufferedObjectSink.h"

namespace drivekit::features::decode {

class TextSink : public BufferedObjectSink {
public:
    // Top-level objects start level steps deep.
    explicit TextSink(unsigned level) : level_(level) {}

protected:
    void write(const Object& object, std::size_t depth, bool first, std::string& out) override;
    // A field's line after its position ("name: value") is written when it arrives; the position
    // is held, because the positions are aligned to the object's widest.
    void holdField(Object& object, std::size_t depth, std::string_view name, std::string_view value,
                   const std::string* position) override;

private:
    unsigned level_;
};

}  // namespace drivekit::features::decode
