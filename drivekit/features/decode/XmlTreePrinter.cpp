#include "drivekit/features/decode/XmlTreePrinter.h"

#include <algorithm>

namespace drivekit::features::decode {

using core::xml::XmlElement;
using core::xml::XmlObject;
namespace keys = core::xml::keys;

namespace {

std::string indent(unsigned level) { return std::string(2U * level, ' '); }

std::string objectLine(const XmlElement& object) {
    std::string line = object.attribute(keys::name);
    const std::string position = object.attribute(keys::description);
    if (!position.empty()) {
        line += " (" + position + ")";
    }
    const std::string value = object.attribute(keys::value);
    if (!value.empty()) {
        line += ": " + value;
    }
    return line;
}

void writeText(const XmlObject& object, unsigned level, std::string& out) {
    out += indent(level) + objectLine(object) + "\n";
    std::size_t widest = 0;
    for (const auto& property : object.properties()) {
        widest = std::max(widest, property->attribute(keys::description).size());
    }
    for (const auto& property : object.properties()) {
        std::string line = indent(level + 1);
        if (widest > 0) {
            const std::string position = property->attribute(keys::description);
            line += position + std::string(widest - position.size() + 2, ' ');
        }
        out += line + property->attribute(keys::name) + ": " + property->attribute(keys::value) +
               "\n";
    }
    for (const auto& child : object.objects()) {
        if (child->tag() == "Object") {
            writeText(static_cast<const XmlObject&>(*child), level + 1, out);
        }
    }
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

std::string XmlTreePrinter::toJson(const XmlObject& root) { return toJsonTree(root).toString(0) + "\n"; }

std::string XmlTreePrinter::toXml(const XmlObject& root) {
    return "<?xml version=\"1.0\" standalone=\"yes\" ?>\n" + root.serialize() + "\n";
}

}  // namespace drivekit::features::decode
