#include "host/devices/sim/SimBytes.h"

namespace host::sim {

void SimBytes::put(uint32_t offset, uint64_t value, uint32_t width) {
    for (uint32_t i = 0; i < width; ++i) {
        *payload_.at(static_cast<uint64_t>(offset) + i) = static_cast<uint8_t>(value >> (8 * i));
    }
}

void SimBytes::ascii(uint32_t offset, uint32_t width, const std::string& text) {
    for (uint32_t i = 0; i < width; ++i) {
        *payload_.at(static_cast<uint64_t>(offset) + i) = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
    }
}

void SimBytes::ataString(uint32_t offset, uint32_t width, const std::string& text) {
    for (uint32_t i = 0; i < width; ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        *payload_.at(static_cast<uint64_t>(offset) + (i ^ 1u)) = static_cast<uint8_t>(c);
    }
}

void SimBytes::bytes(uint32_t offset, const uint8_t* source, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        *payload_.at(static_cast<uint64_t>(offset) + i) = source[i];
    }
}

}  // namespace host::sim
