#pragma once
// Little-endian field writes into a structure a drive returns. Every write is checked
// against the buffer, so a field table that runs past its structure cannot corrupt memory.
#include <cstdint>
#include <string>

#include "drivekit/core/Payload.h"

namespace host::sim {

class SimBytes {
public:
    // A zero-filled structure of size bytes.
    explicit SimBytes(uint64_t size) : payload_(size) {}

    void u8(uint32_t offset, uint64_t value) { put(offset, value, 1); }
    void u16(uint32_t offset, uint64_t value) { put(offset, value, 2); }
    void u32(uint32_t offset, uint64_t value) { put(offset, value, 4); }
    void u64(uint32_t offset, uint64_t value) { put(offset, value, 8); }
    // A 128-bit counter whose high half is zero.
    void u128(uint32_t offset, uint64_t value) { put(offset, value, 8); }
    // Text, space padded to width (NVMe identify strings).
    void ascii(uint32_t offset, uint32_t width, const std::string& text);
    // Text in ATA word order: two characters a word, the first in the high byte.
    void ataString(uint32_t offset, uint32_t width, const std::string& text);
    void bytes(uint32_t offset, const uint8_t* source, uint32_t count);

    uint32_t size() const { return payload_.size(); }
    const drivekit::core::Payload& payload() const { return payload_; }

private:
    void put(uint32_t offset, uint64_t value, uint32_t width);

    drivekit::core::Payload payload_;
};

}  // namespace host::sim
