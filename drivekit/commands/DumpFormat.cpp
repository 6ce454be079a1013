#include "drivekit/commands/DumpFormat.h"

#include <cstdio>

#include "drivekit/core/HexText.h"
#include "drivekit/core/xml/XmlProperty.h"

namespace drivekit::commands::dump {

namespace {
constexpr std::size_t bytesPerLine = 8;

char printable(uint8_t byte) { return (byte >= 33 && byte <= 126) ? static_cast<char>(byte) : '.'; }
}  // namespace

const char* boolText(bool value) { return value ? "True" : "False"; }

std::string hexValue(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof(text), "%08llX", static_cast<unsigned long long>(value));
    return text;
}

std::string valueLine(const std::string& label, const std::string& hex, uint64_t value) {
    return label + hex + " (" + std::to_string(value) + ")\n";
}

std::string flagBlock(const DataDirection& direction,
                      std::initializer_list<std::pair<const char*, bool>> protocolFlags) {
    std::string text = "Flags:\n";
    const auto line = [&text](const char* label, bool value) {
        text += std::string(label) + boolText(value) + "\n";
    };
    line("  Data In   (From Drive)    : ", direction.in);
    line("  Data Out    (To Drive)    : ", direction.out);
    line("  Data None                 : ", direction.none);
    for (const auto& [label, value] : protocolFlags) {
        line(label, value);
    }
    return text;
}

std::unique_ptr<core::xml::XmlObject> commandObject(const std::string& name, const std::string& protocol) {
    auto object = std::make_unique<core::xml::XmlObject>();
    object->setAttribute(core::xml::keys::category, "command");
    object->setAttribute(core::xml::keys::name, name);
    object->setAttribute(core::xml::keys::type, protocol);
    return object;
}

void typedProperty(core::xml::XmlObject& object, const std::string& name, const std::string& value,
                   const std::string& type) {
    object.addProperty(name, value).setAttribute(core::xml::keys::type, type);
}

std::string hexDump(const uint8_t* bytes, std::size_t count) {
    std::string text;
    for (std::size_t line = 0; line < count; line += bytesPerLine) {
        char offset[24];
        std::snprintf(offset, sizeof(offset), "%04zX", line);
        text += offset;
        text += ": ";
        std::string characters;
        for (std::size_t i = line; i < line + bytesPerLine; ++i) {
            // A short last line keeps the character column aligned.
            text += i < count ? core::strings::hexByte(bytes[i]) + " " : "   ";
            if (i < count) {
                characters += printable(bytes[i]);
            }
        }
        text += " " + characters + "\n";
    }
    return text;
}

}  // namespace drivekit::commands::dump
