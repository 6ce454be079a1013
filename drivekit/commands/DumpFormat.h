#pragma once
// Text pieces and XML pieces shared by the command dumps and the command XML objects.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::commands::dump {

// "True" or "False".
const char* boolText(bool value);
// At least eight upper-case hexadecimal digits, zero-filled.
std::string hexValue(uint64_t value);
// "<label><hex> (<decimal>)\n"; the label carries its own "0x" where wanted.
std::string valueLine(const std::string& label, const std::string& hex, uint64_t value);
// The direction flags that NVMe and ATA commands both carry; their dumps show them first.
struct DataDirection {
    bool in = false;
    bool out = false;
    bool none = false;
};
// "Flags:\n", then "<label>True" or "<label>False" and a line feed for each flag: the three
// direction flags, then the protocol's own in the order given.
std::string flagBlock(const DataDirection& direction,
                      std::initializer_list<std::pair<const char*, bool>> protocolFlags);
// The XML object of a command: category "command", the command's name, its protocol as type.
std::unique_ptr<core::xml::XmlObject> commandObject(const std::string& name, const std::string& protocol);
// Adds a property with its value's type name.
void typedProperty(core::xml::XmlObject& object, const std::string& name, const std::string& value,
                   const std::string& type);
// Eight bytes to a line: "OOOO: XX XX XX XX XX XX XX XX  cccccccc\n"; printable ASCII
// (33 to 126) stands for itself in the character column, every other byte is ".".
std::string hexDump(const uint8_t* bytes, std::size_t count);

}  // namespace drivekit::commands::dump
