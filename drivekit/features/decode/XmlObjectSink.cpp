#include "drivekit/features/decode/XmlObjectSink.h"

#include "drivekit/core/xml/XmlProperty.h"

namespace drivekit::features::decode {

namespace keys = core::xml::keys;
using core::xml::XmlObject;

void XmlObjectSink::beginObject(const std::string& name, const std::string& key, const std::string* position) {
    auto object = std::make_unique<XmlObject>();
    object->setAttribute(keys::name, name);
    object->setAttribute(keys::key, key);
    if (position != nullptr) {
        object->setAttribute(keys::description, *position);
    }
    open_.push_back(&open_.back()->addObject(std::move(object)));
}

void XmlObjectSink::field(const std::string& name, const std::string& value, const std::string* position) {
    auto& property = open_.back()->addProperty(name, value);
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
