#include "drivekit/core/HexText.h"

namespace drivekit::core::strings {

std::string hexByte(uint8_t value) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 0x0F]};
}

std::string hexBytes(const uint8_t* bytes, std::size_t count) {
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text += hexByte(bytes[i]);
    }
    return text;
}

}  // namespace drivekit::core::strings
