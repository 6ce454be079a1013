#include "drivekit/features/decode/XmlSink.h"

#include "drivekit/core/xml/XmlElement.h"

namespace drivekit::features::decode {

namespace {

void attribute(const char* name, const std::string& value, std::string& out) {
    out += ' ';
    out += name;
    out += "=\"";
    core::xml::appendEscaped(value, out);
    out += '"';
}

// The element's start and its first attribute in name order, the position, when it has one.
void open(const char* tag, bool hasPosition, const std::string& position, std::string& out) {
    out += '<';
    out += tag;
    if (hasPosition) {
        attribute("description", position, out);
    }
}

}  // namespace

void XmlSink::write(const Object& object, std::size_t, bool, std::string& out) {
    open("Object", object.hasPosition, object.position, out);
    attribute("key", object.key, out);
    attribute("name", object.name, out);
    out += '>';
    for (std::size_t i = 0; i < object.fieldCount; ++i) {
        const HeldField& field = object.fields[i];
        open("Property", field.hasPosition, field.position, out);
        attribute("name", field.name, out);
        attribute("value", field.value, out);
        out += "/>";
    }
    out += object.children;
    out += "</Object>";
}

}  // namespace drivekit::features::decode
