#include "plugins/plugin.cliframework/SimpleResult.h"

#include "drivekit/core/xml/XmlElement.h"
#include "drivekit/features/Json.h"

namespace plugin::cli {

std::string SimpleResult::toText(uint32_t indent) const {
    return indentation(indent) + name() + ": " + value() + "\n";
}

std::string SimpleResult::toCsv() const {
    std::string flat = value();
    for (char& c : flat) {
        if (c == '\n') {
            c = ' ';
        }
    }
    return name() + "," + flat + "\n";
}

std::string SimpleResult::toJson(uint32_t indent) const {
    return drivekit::features::Json::makeString(name(), value()).toString(indent);
}

std::string SimpleResult::toXml(uint32_t indent) const {
    const std::string tag = xmlTag(name());
    std::string out = indent == 0 ? xmlHeader : std::string();
    out += indentation(indent) + "<" + tag + ">" + xmlText(value()) + "</" + tag + ">\n";
    return out;
}

std::string SimpleResult::xmlTag(const std::string& name) {
    std::string tag = name;
    for (char& c : tag) {
        if (c == ' ') {
            c = '_';
        } else if (c == ':' || c == '/') {
            c = '-';
        }
    }
    return tag;
}

std::string SimpleResult::xmlText(const std::string& text) { return drivekit::core::xml::escapeText(text); }

}  // namespace plugin::cli
