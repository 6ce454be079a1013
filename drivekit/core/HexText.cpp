#include "drivekit/core/HexText.h"

namespace drivekit::core::strings {

std::string hexByte(uint8_t value) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 0x0F]};
}

std::string hexBytes(const uint8_t* bytes, std::size_t count) {
    std::string text;
    appendHexBytes(text, bytes, count);
    return text;
}

void appendHexBytes(std::string& out, const uint8_t* bytes, std::size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    const std::size_t at = out.size();
    out.resize(at + count * 2);
    char* text = &out[at];
    for (std::size_t i = 0; i < count; ++i) {
        text[2 * i] = digits[bytes[i] >> 4];
        text[2 * i + 1] = digits[bytes[i] & 0x0F];
    }
}

}  // namespace drivekit::core::strings
