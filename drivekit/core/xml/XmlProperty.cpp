#include "drivekit/core/xml/XmlProperty.h"

namespace drivekit::core::xml {

XmlProperty::XmlProperty(const std::string& name, const std::string& value) : XmlProperty() {
    setAttribute(keys::name, name);
    setAttribute(keys::value, value);
}

void XmlProperty::serialize(std::string& out) const {
    out += "<Property";
    serializeAttributes(out);
    out += "/>";
}

std::unique_ptr<XmlElement> XmlProperty::clone() const {
    return std::unique_ptr<XmlElement>(new XmlProperty(*this));
}

}  // namespace drivekit::core::xml
