#include "drivekit/features/identify/nvme/namespaceData/XmlObject.h"

namespace drivekit::features::identify::nvme::namespaceData {

XmlObject::XmlObject() : core::xml::XmlObject("Identify Namespace") {}

XmlObject::XmlObject(const core::xml::XmlObject& decoded) { appendCopyOf(decoded); }

std::unique_ptr<core::xml::XmlElement> XmlObject::clone() const {
    return std::make_unique<XmlObject>(static_cast<const core::xml::XmlObject&>(*this));
}

}  // namespace drivekit::features::identify::nvme::namespaceData
