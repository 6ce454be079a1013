#include "drivekit/features/decode/XmlTreePrinter.h"

#include <algorithm>

#include "drivekit/features/decode/JsonMembers.h"

namespace drivekit::features::decode {

using core::xml::XmlElement;
using core::xml::XmlObject;
namespace keys = core::xml::keys;

namespace {

void indent(unsigned level, std::string& out) { JsonMembers::indent(level, out); }

void writeText(const XmlObject& object, unsigned level, std::string& out) {
    indent(level, out);
    out += object.attribute(keys::name);
    const std::string& objectPosition = object.attribute(keys::description);
    if (!objectPosition.empty()) {
        out += " (";
        out += objectPosition;
        out += ')';
    }
    const std::string& objectValue = object.attribute(keys::value);
    if (!objectValue.empty()) {
        out += ": ";
        out += objectValue;
    }
    out += '\n';
    std::size_t widest = 0;
    for (const auto& property : object.properties()) {
        widest = std::max(widest, property->attribute(keys::description).size());
    }
    for (const auto& property : object.properties()) {
        indent(level + 1, out);
        if (widest > 0) {
            const std::string& position = property->attribute(keys::description);
            out += position;
            out.append(widest - position.size() + 2, ' ');
        }
        out += property->attribute(keys::name);
        out += ": ";
        out += property->attribute(keys::value);
        out += '\n';
    }
    for (const auto& child : object.objects()) {
        if (child->tag() == "Object") {
            writeText(static_cast<const XmlObject&>(*child), level + 1, out);
        }
    }
}

void writeJson(const XmlObject& object, unsigned level, std::string& out) {
    JsonMembers members(out, level);
    members.string("name", object.attribute(keys::name));
    if (!object.attribute(keys::description).empty()) {
        members.string("position", object.attribute(keys::description));
    }
    if (!object.attribute(keys::value).empty()) {
        members.string("value", object.attribute(keys::value));
    }
    if (!object.properties().empty()) {
        members.openArray("fields");
        for (const auto& property : object.properties()) {
            members.element();
            JsonMembers field(out, level + 2);
            field.string("name", property->attribute(keys::name));
            if (!property->attribute(keys::description).empty()) {
                field.string("position", property->attribute(keys::description));
            }
            field.string("value", property->attribute(keys::value));
            field.close();
        }
        members.closeArray();
    }
    if (!object.objects().empty()) {
        members.openArray("objects");
        for (const auto& child : object.objects()) {
            if (child->tag() == "Object") {
                members.element();
                writeJson(static_cast<const XmlObject&>(*child), level + 2, out);
            }
        }
        members.closeArray();
    }
    members.close();
}

void addPosition(features::Json& node, const XmlElement& element) {
    const std::string position = element.attribute(keys::description);
    if (!position.empty()) {
        node["position"].setString(position);
    }
}

}  // namespace

std::string XmlTreePrinter::toText(const XmlObject& root) {
    std::string out;
    writeText(root, 0, out);
    return out;
}

void XmlTreePrinter::appendText(const XmlObject& root, unsigned level, std::string& out) {
    writeText(root, level, out);
}

void XmlTreePrinter::appendJson(const XmlObject& root, unsigned level, std::string& out) {
    indent(level, out);
    writeJson(root, level, out);
}

features::Json XmlTreePrinter::toJsonTree(const XmlObject& root) {
    features::Json node;
    node["name"].setString(root.attribute(keys::name));
    addPosition(node, root);
    if (!root.attribute(keys::value).empty()) {
        node["value"].setString(root.attribute(keys::value));
    }
    if (!root.properties().empty()) {
        features::Json& fields = node["fields"];
        fields.setType(features::Json::array);
        for (const auto& property : root.properties()) {
            features::Json field;
            field["name"].setString(property->attribute(keys::name));
            addPosition(field, *property);
            field["value"].setString(property->attribute(keys::value));
            fields.append(field);
        }
    }
    if (!root.objects().empty()) {
        features::Json& objects = node["objects"];
        objects.setType(features::Json::array);
        for (const auto& child : root.objects()) {
            if (child->tag() == "Object") {
                objects.append(toJsonTree(static_cast<const XmlObject&>(*child)));
            }
        }
    }
    return node;
}

std::string XmlTreePrinter::toJson(const XmlObject& root) {
    std::string out;
    writeJson(root, 0, out);
    return out + "\n";
}

std::string XmlTreePrinter::toXml(const XmlObject& root) {
    return "<?xml version=\"1.0\" standalone=\"yes\" ?>\n" + root.serialize() + "\n";
}

}  // namespace drivekit::features::decode
