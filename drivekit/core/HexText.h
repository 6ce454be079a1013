#pragma once
// Bytes written as upper-case hexadecimal text, the form every dump and display uses.
#include <cstddef>
#include <cstdint>
#include <string>

namespace drivekit::core::strings {

// Two upper-case hexadecimal digits.
std::string hexByte(uint8_t value);
// Each byte as two upper-case hexadecimal digits, in memory order, with no separator.
std::string hexBytes(const uint8_t* bytes, std::size_t count);
// The same digits appended to out.
void appendHexBytes(std::string& out, const uint8_t* bytes, std::size_t count);

}  // namespace drivekit::core::strings
