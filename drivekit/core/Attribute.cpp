#include "drivekit/core/Attribute.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "drivekit/core/HexText.h"
#include "drivekit/core/LittleEndian.h"
#include "drivekit/core/TextParsing.h"
#include "drivekit/core/logging/Log.h"

namespace drivekit::core {

namespace {

using Bytes = std::vector<uint8_t>;

// How the bytes of each type name are stored, shown and parsed.
enum class Kind { text, boolean, signedInteger, unsignedInteger, uint128, floating, bytes, list64, strings, hexValue };

struct TypeInfo {
    const std::string* name;
    Kind kind;
    unsigned width;  // bytes of one value; 0 for blocks of any length
};

const TypeInfo typeTable[] = {
    {&types::string, Kind::text, 0},           {&types::boolean, Kind::boolean, 1},
    {&types::sint8, Kind::signedInteger, 1},   {&types::sint16, Kind::signedInteger, 2},
    {&types::sint32, Kind::signedInteger, 4},  {&types::sint64, Kind::signedInteger, 8},
    {&types::uint8, Kind::unsignedInteger, 1}, {&types::uint16, Kind::unsignedInteger, 2},
    {&types::uint32, Kind::unsignedInteger, 4}, {&types::uint64, Kind::unsignedInteger, 8},
    {&types::ulong, Kind::unsignedInteger, 8}, {&types::uint128, Kind::uint128, 16},
    {&types::doubleType, Kind::floating, 8},   {&types::bytePointer, Kind::bytes, 0},
    {&types::listUint64, Kind::list64, 8},     {&types::vectorOfStrings, Kind::strings, 0},
    {&types::hexValue, Kind::hexValue, 16},    {&types::vectorOfPayloads, Kind::bytes, 0},
};

const TypeInfo* findType(const std::string& name) {
    for (const auto& type : typeTable) {
        if (*type.name == name) {
            return &type;
        }
    }
    return nullptr;
}

Bytes littleEndian(uint64_t value, unsigned width) {
    Bytes bytes(width);
    for (unsigned i = 0; i < width; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
    return bytes;
}

Bytes littleEndian(const strings::Uint128& value) {
    Bytes bytes(16);
    for (unsigned i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(static_cast<unsigned>((value >> (8 * i)) & 0xFF));
    }
    return bytes;
}

uint64_t widthMaximum(unsigned width) {
    return width >= 8 ? std::numeric_limits<uint64_t>::max() : (uint64_t{1} << (8 * width)) - 1;
}

// Splits on commas, trimming each piece; an empty piece makes the whole text unsuitable.
std::optional<std::vector<std::string>> splitList(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        pieces.push_back(strings::trim(text.substr(start, comma - start)));
        if (pieces.back().empty()) {
            return std::nullopt;
        }
        if (comma == std::string::npos) {
            return pieces;
        }
        start = comma + 1;
    }
}

std::optional<Bytes> encodeInteger(const TypeInfo& type, const std::string& text) {
    if (type.kind == Kind::unsignedInteger) {
        const auto value = strings::parseUnsigned(text, widthMaximum(type.width));
        return value ? std::optional<Bytes>(littleEndian(*value, type.width)) : std::nullopt;
    }
    const auto high = static_cast<int64_t>(widthMaximum(type.width) >> 1);
    const auto value = strings::parseSigned(text, -high - 1, high);
    return value ? std::optional<Bytes>(littleEndian(static_cast<uint64_t>(*value), type.width))
                 : std::nullopt;
}

std::optional<Bytes> encodeList(const TypeInfo& type, const std::string& text) {
    const auto pieces = splitList(text);
    if (!pieces) {
        return std::nullopt;
    }
    Bytes bytes;
    for (const auto& piece : *pieces) {
        if (type.kind == Kind::strings) {
            bytes.insert(bytes.end(), piece.begin(), piece.end());
            bytes.push_back(0);
            continue;
        }
        const auto value = strings::parseUnsigned(piece, widthMaximum(8));
        if (!value) {
            return std::nullopt;
        }
        const Bytes item = littleEndian(*value, 8);
        bytes.insert(bytes.end(), item.begin(), item.end());
    }
    return bytes;
}

std::optional<Bytes> encodeScalar(const TypeInfo& type, const std::string& text) {
    switch (type.kind) {
        case Kind::boolean: {
            const auto value = strings::parseBoolean(text);
            return value ? std::optional<Bytes>(Bytes{*value ? uint8_t{1} : uint8_t{0}}) : std::nullopt;
        }
        case Kind::uint128:
        case Kind::hexValue: {
            const auto value = strings::parseMagnitude(text);
            return value ? std::optional<Bytes>(littleEndian(*value)) : std::nullopt;
        }
        case Kind::floating: {
            const auto value = strings::parseDouble(text);
            if (!value) {
                return std::nullopt;
            }
            uint64_t bits = 0;
            std::memcpy(&bits, &*value, sizeof bits);
            return littleEndian(bits, 8);
        }
        case Kind::bytes:
            return strings::parseHexBytes(text);
        default:
            return encodeInteger(type, text);
    }
}

// The bytes that text stands for in the type; none when it does not suit the type.
std::optional<Bytes> encode(const TypeInfo& type, const std::string& text) {
    if (type.kind == Kind::text) {
        // Text values are taken as typed: blanks may be part of a name or a path.
        Bytes bytes(text.begin(), text.end());
        bytes.push_back(0);
        return bytes;
    }
    const std::string trimmed = strings::trim(text);
    if (type.kind == Kind::list64 || type.kind == Kind::strings) {
        return encodeList(type, trimmed);
    }
    return encodeScalar(type, trimmed);
}

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out += (i == 0 ? "" : ", ") + texts[i];
    }
    return out;
}

}  // namespace

Attribute::Attribute(std::string key, std::string displayName, std::string typeName, std::string unit)
    : key_(std::move(key)),
      displayName_(std::move(displayName)),
      unit_(std::move(unit)),
      typeName_(std::move(typeName)) {}

Attribute& Attribute::setDescription(std::string text) {
    description_ = std::move(text);
    return *this;
}

Attribute& Attribute::setValueDescription(std::string text) {
    valueDescription_ = std::move(text);
    return *this;
}

namespace {

// The value's bytes; a value that reports a size but holds no bytes is out of bounds.
const uint8_t* checkedBytes(const Payload& value) {
    if (value.size() != 0 && value.data() == nullptr) {
        throw Status::outOfBounds();
    }
    return value.data();
}

// Reads at most width bytes: a shorter value is never read past its end.
uint64_t readLittleEndian(const Payload& value, unsigned width) {
    return core::readLittleEndian(checkedBytes(value), std::min<uint32_t>(width, value.size()));
}

std::string memoryOrderHex(const Payload& value) {
    return strings::hexBytes(checkedBytes(value), value.size());
}

// The bytes as one little-endian number, most significant digit first.
std::string numberHex(const Payload& value) {
    const uint8_t* bytes = checkedBytes(value);
    std::string out;
    for (uint32_t i = value.size(); i-- > 0;) {
        if (out.empty() && bytes[i] == 0) {
            continue;
        }
        const std::string pair = strings::hexByte(bytes[i]);
        out += out.empty() && pair[0] == '0' ? pair.substr(1) : pair;
    }
    return "0x" + (out.empty() ? std::string("0") : out);
}

std::string uint128Decimal(const Payload& value) {
    return readLittleEndian128(checkedBytes(value), value.size()).str();
}

std::string signedDecimal(const Payload& value, unsigned width) {
    uint64_t bits = readLittleEndian(value, width);
    if (width < 8 && (bits >> (8 * width - 1)) != 0) {
        bits |= ~widthMaximum(width);  // extend the sign
    }
    return std::to_string(static_cast<int64_t>(bits));
}

std::string doubleText(const Payload& value) {
    const uint64_t bits = readLittleEndian(value, 8);
    double number = 0;
    std::memcpy(&number, &bits, sizeof number);
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, number);
    return std::string(text, result.ptr);
}

}  // namespace

bool Attribute::toBool() const { return hasValue() && checkedBytes(value_)[0] == 1; }
uint8_t Attribute::toUint8() const { return static_cast<uint8_t>(readLittleEndian(value_, 1)); }
uint16_t Attribute::toUint16() const { return static_cast<uint16_t>(readLittleEndian(value_, 2)); }
uint32_t Attribute::toUint32() const { return static_cast<uint32_t>(readLittleEndian(value_, 4)); }
uint64_t Attribute::toUint64() const { return readLittleEndian(value_, 8); }

Status Attribute::toField(unsigned bits, uint64_t& value) const {
    const uint8_t* bytes = checkedBytes(value_);
    bool fits = true;
    for (uint32_t i = 8; i < value_.size(); ++i) {
        fits = fits && bytes[i] == 0;
    }
    const uint64_t number = readLittleEndian(value_, 8);
    if (fits && (bits >= 64 || number >> bits == 0)) {
        value = number;
        return Status::success();
    }
    Status refused = Status::invalidAttributeValue();
    refused.setMessage(key_ + " " + toDisplayString() + " does not fit its " + std::to_string(bits) +
                       "-bit field.");
    LOG_ERROR(refused.message());
    return refused;
}

std::string Attribute::toText() const {
    const auto* bytes = reinterpret_cast<const char*>(checkedBytes(value_));
    if (bytes == nullptr) {
        return {};
    }
    const auto* end = std::find(bytes, bytes + value_.size(), '\0');
    return std::string(bytes, end);
}

std::vector<std::string> Attribute::toStrings() const {
    const auto* bytes = reinterpret_cast<const char*>(checkedBytes(value_));
    std::vector<std::string> texts;
    const char* end = bytes + (bytes ? value_.size() : 0);
    for (const char* start = bytes; start != nullptr && start < end;) {
        const char* stop = std::find(start, end, '\0');
        texts.emplace_back(start, stop);
        start = stop + 1;
    }
    return texts;
}

void Attribute::setString(const std::string& text) {
    Payload value(text.size() + 1);
    if (!value.empty()) {
        std::memcpy(value.data(), text.data(), text.size());
    }
    value_ = value;
}

void Attribute::setBool(bool value) { setUint8(value ? 1 : 0); }

void Attribute::setUint8(uint8_t value) { setBytes(littleEndian(value, 1).data(), 1); }
void Attribute::setUint16(uint16_t value) { setBytes(littleEndian(value, 2).data(), 2); }
void Attribute::setUint32(uint32_t value) { setBytes(littleEndian(value, 4).data(), 4); }
void Attribute::setUint64(uint64_t value) { setBytes(littleEndian(value, 8).data(), 8); }

void Attribute::setStrings(const std::vector<std::string>& texts) {
    Bytes bytes;
    for (const auto& text : texts) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
    }
    setBytes(bytes.data(), bytes.size());
}

void Attribute::setBytes(const void* bytes, uint64_t count) {
    value_ = count == 0 ? Payload() : Payload(bytes, count);
}

std::string Attribute::toDisplayString() const {
    const TypeInfo* type = findType(typeName_);
    switch (type ? type->kind : Kind::bytes) {
        case Kind::text: return toText();
        case Kind::boolean: return toBool() ? "True" : "False";
        case Kind::signedInteger: return signedDecimal(value_, type->width);
        case Kind::unsignedInteger: return std::to_string(readLittleEndian(value_, type->width));
        case Kind::uint128: return uint128Decimal(value_);
        case Kind::floating: return doubleText(value_);
        case Kind::strings: return joined(toStrings());
        case Kind::hexValue: return numberHex(value_);
        default: return memoryOrderHex(value_);
    }
}

Status Attribute::fromString(const std::string& text) {
    const TypeInfo* type = findType(typeName_);
    const auto bytes = type ? encode(*type, text) : std::nullopt;
    if (!bytes) {
        LOG_DEBUG("\"" << text << "\" does not suit " << key_ << " of type " << typeName_);
        return Status::invalidAttributeValue();
    }
    setBytes(bytes->data(), bytes->size());
    return Status();
}

}  // namespace drivekit::core
