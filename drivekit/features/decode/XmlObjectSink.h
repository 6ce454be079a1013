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

    void beginObject(std::string_view name, std::string_view key, const std::string* position) override;
    void field(std::string_view name, std::string_view value, const std::string* position) override;
    void endObject() override;

private:
    std::vector<core::xml::XmlObject*> open_;
};

}  // namespace drivekit::features::decode
