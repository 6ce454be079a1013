#pragma once
// Helpers for the Identify decoding tests: build raw structures byte by byte and look up
// the rendered fields.
#include <cstdint>
#include <cstring>
#include <string>

#include "drivekit/core/Payload.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/core/xml/XmlProperty.h"

namespace identify_decode_test {

using drivekit::core::Payload;
using drivekit::core::xml::XmlElement;
using drivekit::core::xml::XmlObject;

inline void putLe(Payload& data, uint32_t offset, uint64_t value, uint32_t width) {
    for (uint32_t i = 0; i < width; ++i) {
        *data.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
    }
}

inline void putText(Payload& data, uint32_t offset, const std::string& text) {
    std::memcpy(data.at(offset), text.data(), text.size());
}

// The first property called name in object (not its nested objects); null when none.
inline const XmlElement* property(const XmlObject& object, const std::string& name) {
    for (const auto& child : object.properties()) {
        if (child->attribute("name") == name) {
            return child.get();
        }
    }
    return nullptr;
}

inline std::string value(const XmlObject& object, const std::string& name) {
    const XmlElement* found = property(object, name);
    return found == nullptr ? "<missing " + name + ">" : found->attribute("value");
}

inline std::string position(const XmlObject& object, const std::string& name) {
    const XmlElement* found = property(object, name);
    return found == nullptr ? "<missing " + name + ">" : found->attribute("description");
}

// The property that follows the one called parent and is called name: bit rows belong to
// the value row above them.
inline const XmlElement* bitOf(const XmlObject& object, const std::string& parent,
                               const std::string& name) {
    bool inParent = false;
    for (const auto& child : object.properties()) {
        const std::string label = child->attribute("description");
        if (child->attribute("name") == parent) {
            inParent = true;
        } else if (inParent && label.rfind("Bit", 0) != 0) {
            return nullptr;
        } else if (inParent && child->attribute("name") == name) {
            return child.get();
        }
    }
    return nullptr;
}

}  // namespace identify_decode_test
