#include "drivekit/features/decode/XmlObjectSink.h"

#include "drivekit/core/xml/XmlProperty.h"

namespace drivekit::features::decode {

namespace keys = core::xml::keys;
using core::xml::XmlObject;

void XmlObjectSink::beginObject(std::string_view name, std::string_view key, const std::string* position) {
    auto object = std::make_unique<XmlObject>();
    object->setAttribute(keys::name, std::string(name));
    object->setAttribute(keys::key, std::string(key));
    if (position != nullptr) {
        object->setAttribute(keys::description, *position);
    }
    open_.push_back(&open_.back()->addObject(std::move(object)));
}

void XmlObjectSink::field(std::string_view name, std::string_view value, const std::string* position) {
    auto& property = open_.back()->addProperty(std::string(name), std::string(value));
    if (position != nullptr) {
        property.setAttribute(keys::description, *position);
    }
}

void XmlObjectSink::endObject() {
    if (open_.size() > 1) {
        open_.pop_back();
    }
}

}  // namespace drivekit::features::decode
