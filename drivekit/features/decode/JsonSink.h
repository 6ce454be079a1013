#pragma once
// Writes objects as the JSON printer lays out the tree ("name", "position", "fields",
// "objects"); top-level objects are the elements of one array, separated by commas.
#include "drivekit/features/decode/BufferedObjectSink.h"

namespace drivekit::features::decode {

class JsonSink : public BufferedObjectSink {
public:
    // Top-level objects start level steps deep.
    explicit JsonSink(unsigned level) : level_(level) {}

protected:
    void write(const Object& object, std::size_t depth, bool first, std::string& out) override;

private:
    unsigned level_;
};

}  // namespace drivekit::features::decode
