#pragma once
// Strict conversions of user-typed text (command-line values) into numbers and bytes.
// Every parser refuses rather than guesses: a text that is not wholly the expected form,
// or a number that does not fit, gives no value.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

namespace drivekit::core::strings {

using Uint128 = boost::multiprecision::uint128_t;

// The text without leading and trailing blanks (spaces, tabs, line ends).
std::string trim(const std::string& text);

// Hexadecimal digits, optionally after "0x"/"0X"; at most 128 bits. A bare "0x" is no number.
std::optional<Uint128> parseHex(const std::string& text);
// Decimal digits only, or "0x"/"0X" followed by hexadecimal digits; at most 128 bits.
std::optional<Uint128> parseMagnitude(const std::string& text);
// As parseMagnitude, and the value must not exceed limit.
std::optional<uint64_t> parseUnsigned(const std::string& text, uint64_t limit);
// An optional leading "-" and a magnitude; the value must lie within [low, high].
std::optional<int64_t> parseSigned(const std::string& text, int64_t low, int64_t high);
// "0", "1", "true" or "false" in any letter case.
std::optional<bool> parseBoolean(const std::string& text);
// A decimal number: sign, digits, point, exponent; no "inf", "nan" or hexadecimal forms.
std::optional<double> parseDouble(const std::string& text);
// Pairs of hexadecimal digits in memory order, optionally after "0x".
std::optional<std::vector<uint8_t>> parseHexBytes(const std::string& text);

}  // namespace drivekit::core::strings
