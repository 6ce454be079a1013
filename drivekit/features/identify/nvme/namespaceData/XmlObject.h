#pragma once
// The decoded Identify Namespace structure, as its own object type so that readers of a
// decoded tree can tell a namespace from the other Identify structures.
#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::features::identify::nvme::namespaceData {

class XmlObject : public core::xml::XmlObject {
public:
    XmlObject();
    // Takes a copy of the decoded tree: its attributes and every child in order.
    explicit XmlObject(const core::xml::XmlObject& decoded);

    std::unique_ptr<core::xml::XmlElement> clone() const override;
};

}  // namespace drivekit::features::identify::nvme::namespaceData
