#pragma once
// Writes objects as the XML tree serializes them: attributes in the order of their names,
// an object's properties before its child objects, no line breaks.
#include "drivekit/features/decode/BufferedObjectSink.h"

namespace drivekit::features::decode {

class XmlSink : public BufferedObjectSink {
protected:
    void write(const Object& object, std::size_t depth, bool first, std::string& out) override;
};

}  // namespace drivekit::features::decode
