#include "drivekit/features/decode/FieldFormatter.h"

#include <algorithm>
#include <string_view>

#include "drivekit/core/HexText.h"
#include "drivekit/core/LittleEndian.h"
#include "drivekit/core/TextParsing.h"

namespace drivekit::features::decode {

namespace {

// Decodes print millions of positions and numbers: they are formatted by hand, not through
// printf, into a string that is built once.

// The decimal digits of value, at least minDigits of them (zeros in front).
void appendDecimal(std::string& out, uint64_t value, uint32_t minDigits = 1) {
    char digits[24];
    char* first = digits + sizeof(digits);
    const char* const least = first - std::min<uint32_t>(minDigits, sizeof(digits));
    do {
        *--first = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 || first > least);
    out.append(first, static_cast<std::size_t>(digits + sizeof(digits) - first));
}

// "first" or "first<separator>last" after prefix, the numbers at least minDigits long.
void appendLabel(std::string& out, std::string_view prefix, uint64_t first, char separator, uint64_t last,
                 uint32_t minDigits) {
    out += prefix;
    appendDecimal(out, first, minDigits);
    if (separator != 0) {
        out += separator;
        appendDecimal(out, last, minDigits);
    }
}

// One of the append functions below as a new string.
template <typename Append, typename... Arguments>
std::string made(Append append, Arguments... arguments) {
    std::string out;
    append(out, arguments...);
    return out;
}

bool allZero(const uint8_t* data, uint32_t width) {
    return std::all_of(data, data + width, [](uint8_t b) { return b == 0; });
}

// Drive strings are ASCII padded with spaces (some drives pad with NULs); anything else
// is shown as '.' so that no output format breaks.
char printable(uint8_t c) {
    if (c == 0) {
        return ' ';
    }
    return c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '.';
}

std::string ascii(const uint8_t* data, uint32_t width, bool swapWords) {
    std::string text;
    text.reserve(width);
    for (uint32_t i = 0; i < width; ++i) {
        const uint32_t from = swapWords ? (i ^ 1U) : i;
        text += printable(from < width ? data[from] : 0);
    }
    return core::strings::trim(text);
}

std::string decimal128(const uint8_t* data, uint32_t width) {
    return core::readLittleEndian128(data, width).str();
}

// UUIDs are conventionally written in lower case.
std::string uuidText(const uint8_t* data, uint32_t width) {
    std::string out = core::strings::hexBytes(data, width);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c; });
    if (width != 16) {
        return out;
    }
    for (const std::size_t at : {20U, 16U, 12U, 8U}) {
        out.insert(at, "-");
    }
    return out;
}

// A little-endian number of any width as "0x" and upper-case digits.
std::string mostSignificantFirst(const uint8_t* data, uint32_t width) {
    std::string out = "0x";
    for (uint32_t i = width; i > 0; --i) {
        out += core::strings::hexByte(data[i - 1]);
    }
    return out;
}

}  // namespace

std::string FieldFormatter::position(LabelStyle style, uint32_t offset, uint32_t width) {
    return made(appendPosition, style, offset, width);
}

std::string FieldFormatter::bitPosition(uint8_t high, uint8_t low) { return made(appendBitPosition, high, low); }

std::string FieldFormatter::number(Rendering rendering, uint64_t value, uint32_t hexDigits) {
    return made(appendNumber, rendering, value, hexDigits);
}

std::string FieldFormatter::value(Rendering rendering, const uint8_t* data, uint32_t width) {
    return made(appendValue, rendering, data, width);
}

void FieldFormatter::appendPosition(std::string& out, LabelStyle style, uint32_t offset, uint32_t width) {
    const uint32_t last = offset + (width == 0 ? 0 : width - 1);
    if (style == LabelStyle::words) {
        const uint32_t firstWord = offset / 2;
        const uint32_t lastWord = last / 2;
        firstWord == lastWord ? appendLabel(out, "Word ", firstWord, 0, 0, 1)
                              : appendLabel(out, "Words ", firstWord, '-', lastWord, 1);
        return;
    }
    width <= 1 ? appendLabel(out, "Byte ", offset, 0, 0, 2) : appendLabel(out, "Bytes ", last, ':', offset, 2);
}

void FieldFormatter::appendBitPosition(std::string& out, uint8_t high, uint8_t low) {
    high == low ? appendLabel(out, "Bit ", low, 0, 0, 1) : appendLabel(out, "Bits ", high, ':', low, 1);
}

void FieldFormatter::appendNumber(std::string& out, Rendering rendering, uint64_t value, uint32_t hexDigits) {
    if (rendering != Rendering::hex) {
        appendDecimal(out, value);
        return;
    }
    static const char digits[] = "0123456789ABCDEF";
    uint32_t count = 1;
    while (count < 16 && value >> (4 * count) != 0) {
        ++count;
    }
    count = std::max(count, hexDigits);
    const std::size_t at = out.size();
    out.resize(at + count + 2, '0');
    out[at + 1] = 'x';
    for (uint32_t i = 0; i < count && i < 16; ++i) {
        out[out.size() - 1 - i] = digits[(value >> (4 * i)) & 0x0F];
    }
}

void FieldFormatter::appendValue(std::string& out, Rendering rendering, const uint8_t* data, uint32_t width) {
    switch (rendering) {
        case Rendering::decimal:
        case Rendering::hex:
            if (width > 8) {
                width == 16 && rendering == Rendering::decimal ? void(out += decimal128(data, width))
                                                               : core::strings::appendHexBytes(out, data, width);
                return;
            }
            appendNumber(out, rendering, core::readLittleEndian(data, width), width * 2);
            return;
        case Rendering::decimal128: out += decimal128(data, width); return;
        case Rendering::text: out += ascii(data, width, false); return;
        case Rendering::ataText: out += ascii(data, width, true); return;
        case Rendering::bytes: core::strings::appendHexBytes(out, data, width); return;
        case Rendering::uuid: out += uuidText(data, width); return;
        case Rendering::reserved:
            allZero(data, width) ? void(out += '0') : core::strings::appendHexBytes(out, data, width);
            return;
        case Rendering::hexNumber: out += mostSignificantFirst(data, width); return;
        case Rendering::prefixedBytes:
            out += "0x";
            width == 0 ? void(out += '0') : core::strings::appendHexBytes(out, data, width);
            return;
        default: out += reading(rendering, data, width); return;
    }
}

uint64_t FieldFormatter::bitRange(const uint8_t* data, uint32_t width, uint32_t high, uint32_t low) {
    if (low > high || high - low >= 64 || high >= static_cast<uint64_t>(width) * 8) {
        return 0;
    }
    // The bytes that hold the range (at most nine): eight as one little-endian number shifted
    // down, and the bits of a ninth above them.
    const uint32_t first = low / 8;
    const uint32_t shift = low % 8;
    const uint32_t held = std::min<uint32_t>(8, high / 8 - first + 1);
    uint64_t value = core::readLittleEndian(data + first, held) >> shift;
    if (high / 8 - first + 1 > 8) {
        value |= static_cast<uint64_t>(data[first + 8]) << (64 - shift);
    }
    const uint32_t count = high - low + 1;
    return count == 64 ? value : value & ((uint64_t{1} << count) - 1);
}

std::string FieldFormatter::prefixedHex(const uint8_t* data, uint32_t width) {
    return value(Rendering::prefixedBytes, data, width);
}

}  // namespace drivekit::features::decode
