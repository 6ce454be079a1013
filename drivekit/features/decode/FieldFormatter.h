#pragma once
// Turns the bytes of one field into the text a reader sees, and positions into labels.
#include <cstdint>
#include <string>

#include "drivekit/features/decode/FieldTable.h"

namespace drivekit::features::decode {

class FieldFormatter {
public:
    // "Byte 77", "Bytes 07:00" (high first, at least two digits), "Word 0", "Words 27-46".
    static std::string position(LabelStyle style, uint32_t offset, uint32_t width);
    // "Bit 15" or "Bits 7:4".
    static std::string bitPosition(uint8_t high, uint8_t low);

    // data holds width bytes.
    static std::string value(Rendering rendering, const uint8_t* data, uint32_t width);
    // A number that has already been extracted (bit fields); digits sizes hex padding.
    static std::string number(Rendering rendering, uint64_t value, uint32_t hexDigits);

    // The same texts appended to out: a decode of millions of fields reuses one string for them.
    static void appendPosition(std::string& out, LabelStyle style, uint32_t offset, uint32_t width);
    static void appendBitPosition(std::string& out, uint8_t high, uint8_t low);
    static void appendValue(std::string& out, Rendering rendering, const uint8_t* data, uint32_t width);
    static void appendNumber(std::string& out, Rendering rendering, uint64_t value, uint32_t hexDigits);

    // A person's reading of width bytes (temperatures in °C, powers in watts, counts, names):
    // the renderings from nulTerminatedText on. Empty when the bytes are too few for it.
    static std::string reading(Rendering rendering, const uint8_t* data, uint32_t width);

    // Bits high..low (at most 64 of them) of a little-endian value of width bytes, however
    // wide; 0 when the range does not lie inside it.
    static uint64_t bitRange(const uint8_t* data, uint32_t width, uint32_t high, uint32_t low);
    // "0x" followed by the bytes as hexadecimal digits; "0x0" for no bytes.
    static std::string prefixedHex(const uint8_t* data, uint32_t width);
};

}  // namespace drivekit::features::decode
