#pragma once
// The data model of a decoded hardware structure: a table of fields (name, byte offset,
// width, rendering) that one renderer walks. Tables are data; no field has its own code.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace drivekit::features::decode {

enum class Rendering : uint8_t {
    decimal,     // little-endian unsigned number, up to 8 bytes
    hex,         // little-endian unsigned number as 0x and zero-padded upper-case digits
    decimal128,  // 16-byte little-endian unsigned number in decimal
    text,        // ASCII, trimmed of spaces and NULs at both ends
    ataText,     // ASCII stored two characters per word, high byte first
    bytes,       // every byte as two hexadecimal digits, in stored order
    uuid,        // 16 bytes in stored order, grouped 8-4-4-4-12
    reserved,    // "0" when every byte is zero, otherwise the bytes as above
    // Text that ends at its first NUL (NQNs); what follows the NUL is not part of it.
    nulTerminatedText,
    // Readings shown beside a raw value (FieldKind::reading rows); see FieldFormatter::reading.
    celsiusFromKelvin,   // 2 bytes, Kelvin: "70 °C"; 0: "not reported"
    zeroBasedCount,      // 0's based count: the count it stands for
    powerOfTwoBytes,     // exponent: "512 bytes"; 0: "not supported" (an unused LBA format)
    maxPowerWatts,       // power state bytes 03:00: MP scaled by MXPS
    scaledPowerWatts,    // power value (2 bytes) and its scale in bits 7:6 of the byte after
    controllerTypeName,  // CNTRLTYPE: "I/O Controller", ...
    lbaFormatInUse,      // Identify Namespace bytes 383:25: NLBAF, FLBAS, ..., the LBA formats
    hexNumber,   // "0x" and the bytes most significant first, any width (GUIDs of log pages)
    prefixedBytes,  // "0x" followed by every byte as two hexadecimal digits, in stored order
};

// How a structure names positions: NVMe tables count bytes ("Bytes 07:00"),
// ATA IDENTIFY counts 16-bit words ("Word 0", "Words 27-46").
enum class LabelStyle : uint8_t { bytes, words };

enum class FieldKind : uint8_t {
    value,    // a value at offset/width
    bits,     // a bit range of the nearest value field above it
    records,  // count records of a nested table, stride bytes apart
    reading,  // a reading of the bytes at offset/width for a person (a temperature in °C, a
              // power in watts); it adds a row beside the raw fields and covers no bytes itself
    container,  // a value that only holds the bit rows below it; not shown itself
    structure,  // a nested table at offset, shown as a child object named after the field
};

struct FieldTable;

struct Field {
    FieldKind kind = FieldKind::value;
    std::string_view name = "";
    uint32_t offset = 0;  // bytes, relative to the start of the table's record
    uint32_t width = 0;   // bytes; for records the stride
    Rendering rendering = Rendering::decimal;
    uint8_t highBit = 0;
    uint8_t lowBit = 0;
    const FieldTable* record = nullptr;
    uint32_t count = 0;
    const char* entryName = "";  // records: each record is named entryName + " " + index
    // The layout's own name for the field when name is a reader's form of it (nested objects
    // carry it as their key, and a cut names it); null when name is both.
    const char* key = nullptr;
    // The field's position label, made once for a table walked millions of times
    // (FieldRenderer::labelFields); null when the renderer makes it for each walk.
    const std::string* label = nullptr;
    // A number of its own (from 1) among the fields that have a label made once, for a sink to
    // keep what it makes of the field's name and label; 0 for the others.
    uint32_t slot = 0;
};

// The layout's own name for a field.
inline std::string_view keyOf(const Field& field) {
    return field.key != nullptr ? std::string_view(field.key) : field.name;
}

struct FieldTable {
    std::string title;
    LabelStyle style = LabelStyle::bytes;
    uint32_t size = 0;  // bytes the structure occupies
    std::vector<Field> fields;
};

// Table-building helpers. Byte and word ranges are inclusive, lowest first, as in the
// published layouts.
inline Field bytes(const char* name, uint32_t first, uint32_t last,
                   Rendering rendering = Rendering::decimal) {
    Field field;
    field.name = name;
    field.offset = first;
    field.width = last - first + 1;
    field.rendering = rendering;
    return field;
}

inline Field byte(const char* name, uint32_t at, Rendering rendering = Rendering::decimal) {
    return bytes(name, at, at, rendering);
}

inline Field reserved(uint32_t first, uint32_t last, const char* name = "Reserved") {
    return bytes(name, first, last, Rendering::reserved);
}

inline Field words(const char* name, uint32_t first, uint32_t last,
                   Rendering rendering = Rendering::decimal) {
    return bytes(name, first * 2, last * 2 + 1, rendering);
}

inline Field word(const char* name, uint32_t at, Rendering rendering = Rendering::hex) {
    return words(name, at, at, rendering);
}

inline Field bits(const char* name, uint8_t high, uint8_t low,
                  Rendering rendering = Rendering::decimal) {
    Field field;
    field.kind = FieldKind::bits;
    field.name = name;
    field.highBit = high;
    field.lowBit = low;
    field.rendering = rendering;
    return field;
}

inline Field bit(const char* name, uint8_t at) { return bits(name, at, at); }

inline Field records(const char* groupName, const char* entryName, uint32_t first,
                     uint32_t stride, uint32_t count, const FieldTable& table) {
    Field field;
    field.kind = FieldKind::records;
    field.name = groupName;
    field.entryName = entryName;
    field.offset = first;
    field.width = stride;
    field.count = count;
    field.record = &table;
    return field;
}

// A reading of bytes first..last (inclusive) shown beside the raw fields that hold them.
inline Field reading(const char* name, uint32_t first, uint32_t last, Rendering rendering) {
    Field field = bytes(name, first, last, rendering);
    field.kind = FieldKind::reading;
    return field;
}

// The rows of several lists in order, for rows that more than one table shares.
inline std::vector<Field> joined(std::initializer_list<std::vector<Field>> parts) {
    std::vector<Field> fields;
    for (const auto& part : parts) {
        fields.insert(fields.end(), part.begin(), part.end());
    }
    return fields;
}

// A value of bytes first..last that the bit rows below it take apart, shown only through
// them (name is what the layout calls it, used when the data ends before it).
inline Field container(const char* name, uint32_t first, uint32_t last) {
    Field field = bytes(name, first, last);
    field.kind = FieldKind::container;
    return field;
}

// The nested table at offset first as a child object called name.
inline Field structure(const char* name, uint32_t first, const FieldTable& table) {
    Field field;
    field.kind = FieldKind::structure;
    field.name = name;
    field.offset = first;
    field.record = &table;
    return field;
}

}  // namespace drivekit::features::decode
