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

private:
    unsigned level_;
};

}  // namespace drivekit::features::decode
