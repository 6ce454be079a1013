#include "drivekit/features/identify/nvme/namespaceData/XmlObject.h"

namespace drivekit::features::identify::nvme::namespaceData {

XmlObject::XmlObject() : core::xml::XmlObject("Identify Namespace") {}

XmlObject::XmlObject(const core::xml::XmlObject& decoded) {
    for (const auto& [key, value] : decoded.attributes()) {
        setAttribute(key, value);
    }
    for (const auto& property : decoded.properties()) {
        addProperty(property->clone());
    }
    for (const auto& element : decoded.elements()) {
        addElement(element->clone());
    }
    for (const auto& object : decoded.objects()) {
        auto copy = object->clone();
        addObject(std::unique_ptr<core::xml::XmlObject>(static_cast<core::xml::XmlObject*>(copy.release())));
    }
}

std::unique_ptr<core::xml::XmlElement> XmlObject::clone() const {
    return std::make_unique<XmlObject>(static_cast<const core::xml::XmlObject&>(*this));
}

}  // namespace drivekit::features::identify::nvme::namespaceData
