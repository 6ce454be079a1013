#pragma once
#include "drivekit/core/xml/XmlElement.h"

namespace drivekit::core::xml {

// A leaf: <Property name="..." value="..."/>.
class XmlProperty : public XmlElement {
public:
    XmlProperty() : XmlElement("Property") {}
    XmlProperty(const std::string& name, const std::string& value);

    void serialize(std::string& out) const override;
    using XmlElement::serialize;
    std::unique_ptr<XmlElement> clone() const override;
    bool isEmpty() const override { return attributes().empty(); }
};

}  // namespace drivekit::core::xml
