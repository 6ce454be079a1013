#pragma once
// A named, typed value: a device property, a feature parameter or a command-line argument.
#include <cstdint>
#include <string>
#include <vector>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"

namespace drivekit::core {

// Type names of attribute values.
namespace types {
inline const std::string string = "string";
inline const std::string boolean = "boolean";
inline const std::string sint8 = "sint8";
inline const std::string sint16 = "sint16";
inline const std::string sint32 = "sint32";
inline const std::string sint64 = "sint64";
inline const std::string uint8 = "uint8";
inline const std::string uint16 = "uint16";
inline const std::string uint32 = "uint32";
inline const std::string uint64 = "uint64";
inline const std::string ulong = "ulong";
inline const std::string uint128 = "uint128";
inline const std::string doubleType = "double";
inline const std::string bytePointer = "bytepointer";
inline const std::string listUint64 = "list_uint64";
inline const std::string vectorOfStrings = "vectorOfStrings";
inline const std::string hexValue = "hexValue";
inline const std::string vectorOfPayloads = "vectorOfPayloads";
}  // namespace types

class Attribute {
public:
    Attribute() = default;
    Attribute(std::string key, std::string displayName, std::string typeName, std::string unit = {});

    const std::string& key() const { return key_; }
    const std::string& displayName() const { return displayName_; }
    const std::string& unit() const { return unit_; }
    const std::string& typeName() const { return typeName_; }
    // Help texts of a definition (shown for command-line properties).
    const std::string& description() const { return description_; }
    const std::string& valueDescription() const { return valueDescription_; }
    Attribute& setDescription(std::string text);
    Attribute& setValueDescription(std::string text);

    // An empty payload means "no value".
    const Payload& value() const { return value_; }
    void setValue(Payload value) { value_ = std::move(value); }
    bool hasValue() const { return value_.size() != 0; }

    // Typed reads copy exactly the type's width; no value reads as false, 0 or "".
    // A value that reports a size but holds no bytes throws Status 0/14.
    bool toBool() const;
    uint8_t toUint8() const;
    uint16_t toUint16() const;
    uint32_t toUint32() const;
    uint64_t toUint64() const;
    // The value as an unsigned number for a field of `bits` bits (1 to 64). A value wider
    // than the field is refused (0/40, the message names the key, the value and the width,
    // value unchanged), never cut to the field.
    Status toField(unsigned bits, uint64_t& value) const;
    std::string toText() const;  // the characters up to the zero byte
    std::vector<std::string> toStrings() const;

    // Typed writes replace the value with a payload of the type's width, least significant byte first.
    void setString(const std::string& text);  // the characters and one zero byte
    void setBool(bool value);
    void setUint8(uint8_t value);
    void setUint16(uint16_t value);
    void setUint32(uint32_t value);
    void setUint64(uint64_t value);
    void setStrings(const std::vector<std::string>& texts);
    void setBytes(const void* bytes, uint64_t count);

    // The value as a person reads it, by type name ("True", decimal, "0x..", hex bytes).
    std::string toDisplayString() const;
    // Stores text converted to the attribute's type; 0/40 when the text does not suit it.
    Status fromString(const std::string& text);

private:
    std::string key_;
    std::string displayName_;
    std::string unit_;
    Payload value_;
    std::string typeName_;
    std::string description_;
    std::string valueDescription_;
};

namespace strings {
// The hexadecimal number in text (with or without "0x"); all ones (after an error record)
// when the text is not one.
uint64_t hexToInt(const std::string& text);
}  // namespace strings

}  // namespace drivekit::core
