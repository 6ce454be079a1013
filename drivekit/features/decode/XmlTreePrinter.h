#pragma once
// Prints a decoded XML tree for a reader: as indented text, as JSON or as XML.
#include <string>

#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/Json.h"

namespace drivekit::features::decode {

class XmlTreePrinter {
public:
    // One line per object ("name (position)") and per property
    // ("position  name: value", positions aligned within an object), two spaces per level.
    static std::string toText(const core::xml::XmlObject& root);
    // An object with "name", "position" when there is one, "fields" (name, position, value
    // of each property, in order) and "objects" (the nested objects the same way).
    static features::Json toJsonTree(const core::xml::XmlObject& root);
    static std::string toJson(const core::xml::XmlObject& root);
    // The XML header line and the tree's own serialization on one line.
    static std::string toXml(const core::xml::XmlObject& root);

    // What toText gives with every line level steps deeper, appended to out.
    static void appendText(const core::xml::XmlObject& root, unsigned level, std::string& out);
    // What toJsonTree(root).toString(level) gives, appended to out without building the tree.
    static void appendJson(const core::xml::XmlObject& root, unsigned level, std::string& out);
};

}  // namespace drivekit::features::decode
