#pragma once
// Helpers for the Identify decoding tests: build raw structures byte by byte and look up
// the rendered fields.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/core/xml/XmlProperty.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"

namespace identify_decode_test {

using drivekit::core::Payload;
using drivekit::core::xml::XmlElement;
using drivekit::core::xml::XmlObject;
using Coverage = drivekit::features::identify::decode::IdentifyCoverage;

inline void putLe(Payload& data, uint32_t offset, uint64_t value, uint32_t width) {
    for (uint32_t i = 0; i < width; ++i) {
        *data.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
    }
}

// The decoded structure, which must decode cleanly; an empty object when it does not.
inline std::unique_ptr<XmlObject> decoded(uint8_t cns, const Payload& data, Coverage coverage = Coverage::feature) {
    drivekit::core::Status status;
    auto tree = drivekit::features::identify::decode::decodeNvmeIdentify(cns, data, status, coverage);
    EXPECT_TRUE(status.isSuccess()) << status.message();
    EXPECT_NE(tree, nullptr);
    return tree ? std::move(tree) : std::make_unique<XmlObject>();
}

// The nested object called name; an empty one when there is none, so that its checks fail.
inline const XmlObject& objectOf(const XmlObject& object, const std::string& name) {
    static const XmlObject none;
    const XmlObject* found = object.object(name);
    EXPECT_NE(found, nullptr) << name;
    return found ? *found : none;
}

// Several little-endian values: {offset, value, width} each.
struct Put {
    uint32_t offset;
    uint64_t value;
    uint32_t width;
};
inline void putLe(Payload& data, std::initializer_list<Put> puts) {
    for (const Put& put : puts) {
        putLe(data, put.offset, put.value, put.width);
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
