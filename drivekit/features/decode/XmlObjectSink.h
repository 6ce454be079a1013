#pragma once
// The sink that builds the XML tree: objects become child objects, fields properties.
#include <memory>
#include <vector>

#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/decode/FieldSink.h"

namespace drivekit::features::decode {

class XmlObjectSink : public FieldSink {
public:
    // Objects and fields go into target.
    explicit XmlObjectSink(core::xml::XmlObject& target) : open_{&target} {}

    void beginObject(const std::string& name, const std::string& key, const std::string* position) override;
    void field(const std::string& name, const std::string& value, const std::string* position) override;
    void endObject() override;

private:
    std::vector<core::xml::XmlObject*> open_;
};

}  // namespace drivekit::features::decode
