#include "host/devices/sim/SimProfileAttributes.h"

#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimFieldLimits.h"

namespace host::sim {

using nlohmann::json;

namespace {

void readAttribute(const SimJsonReader& section, const std::string& key, SimProfile& profile) {
    std::optional<drivekit::core::Attribute> definition = SimAttributeTable::find(key);
    if (!definition) {
        section.fail(key, "is not a device attribute");
    }
    drivekit::core::Attribute attribute = *definition;
    const std::string& type = attribute.typeName();
    const json& value = section.at(key);
    if (type == "boolean") {
        attribute.setBool(section.boolOr(key, false));
    } else if (type == "string") {
        attribute.setString(section.stringOr(key, ""));
    } else if (type == "uint8") {
        attribute.setUint8(static_cast<uint8_t>(SimJsonReader::toUnsigned(value, u8Max, section.path(key))));
    } else if (type == "uint16") {
        attribute.setUint16(static_cast<uint16_t>(SimJsonReader::toUnsigned(value, u16Max, section.path(key))));
    } else {
        attribute.setUint32(static_cast<uint32_t>(SimJsonReader::toUnsigned(value, u32Max, section.path(key))));
    }
    profile.attributes.set(attribute);
}

}  // namespace

void SimProfileAttributes::readAttributes(const SimJsonReader& top, SimProfile& profile) {
    const SimJsonReader section = top.objectAt("attributes");
    const json& object = top.at("attributes");
    for (auto it = object.begin(); it != object.end(); ++it) {
        readAttribute(section, it.key(), profile);
    }
}

void SimProfileAttributes::readProtocols(const SimJsonReader& top, SimProfile& profile) {
    for (const json& item : top.arrayAt("protocols")) {
        const std::string name = item.is_string() ? item.get<std::string>() : std::string();
        if (name != "NVME" && name != "ATA" && name != "SMART") {
            top.fail("protocols", "may only hold \"NVME\", \"ATA\" and \"SMART\"");
        }
        profile.protocols.push_back(name);
    }
    if (profile.protocols.empty()) {
        top.fail("protocols", "must name at least one protocol");
    }
}

}  // namespace host::sim
