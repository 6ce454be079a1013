#include "drivekit/core/TextParsing.h"

#include <cctype>
#include <charconv>
#include <limits>

#include <boost/algorithm/string/predicate.hpp>

#include "drivekit/core/Attribute.h"
#include "drivekit/core/logging/Log.h"

namespace drivekit::core::strings {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int digitValue(char c, unsigned base) {
    const auto u = static_cast<unsigned char>(c);
    int value = -1;
    if (std::isdigit(u)) {
        value = c - '0';
    } else if (base == 16 && std::isxdigit(u)) {
        value = std::tolower(u) - 'a' + 10;
    }
    return value < static_cast<int>(base) ? value : -1;
}

bool hasHexPrefix(const std::string& text) {
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// Digits of one base, all of them, with overflow of the 128-bit range refused.
std::optional<Uint128> parseDigits(const std::string& digits, unsigned base) {
    if (digits.empty()) {
        return std::nullopt;
    }
    static const Uint128 maximum = std::numeric_limits<Uint128>::max();
    Uint128 value = 0;
    for (const char c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0 || value > (maximum - digit) / base) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return value;
}

}  // namespace

std::string trim(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first])) {
        ++first;
    }
    while (last > first && isBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

std::optional<Uint128> parseHex(const std::string& text) {
    return parseDigits(hasHexPrefix(text) ? text.substr(2) : text, 16);
}

std::optional<Uint128> parseMagnitude(const std::string& text) {
    return hasHexPrefix(text) ? parseHex(text) : parseDigits(text, 10);
}

std::optional<uint64_t> parseUnsigned(const std::string& text, uint64_t limit) {
    const auto value = parseMagnitude(text);
    if (!value || *value > limit) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(*value);
}

std::optional<int64_t> parseSigned(const std::string& text, int64_t low, int64_t high) {
    const bool negative = !text.empty() && text[0] == '-';
    const auto magnitude = parseMagnitude(negative ? text.substr(1) : text);
    if (!magnitude) {
        return std::nullopt;
    }
    if (negative) {
        // -low does not fit in int64_t for the smallest value; compare magnitudes instead.
        const Uint128 lowest = Uint128(-(low + 1)) + 1;
        if (*magnitude > lowest) {
            return std::nullopt;
        }
        if (*magnitude == 0) {
            return 0;
        }
        return static_cast<int64_t>(-static_cast<int64_t>(*magnitude - 1) - 1);
    }
    if (*magnitude > Uint128(high)) {
        return std::nullopt;
    }
    return static_cast<int64_t>(*magnitude);
}

std::optional<bool> parseBoolean(const std::string& text) {
    if (text == "1" || boost::algorithm::iequals(text, "true")) {
        return true;
    }
    if (text == "0" || boost::algorithm::iequals(text, "false")) {
        return false;
    }
    return std::nullopt;
}

std::optional<double> parseDouble(const std::string& text) {
    bool sawDigit = false;
    for (const char c : text) {
        const bool allowed = std::isdigit(static_cast<unsigned char>(c)) || c == '.' ||
                             c == '-' || c == '+' || c == 'e' || c == 'E';
        if (!allowed) {
            return std::nullopt;
        }
        sawDigit = sawDigit || std::isdigit(static_cast<unsigned char>(c));
    }
    const bool plus = !text.empty() && text[0] == '+';
    const char* begin = text.data() + (plus ? 1 : 0);
    const char* end = text.data() + text.size();
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (!sawDigit || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<uint8_t>> parseHexBytes(const std::string& text) {
    const std::string digits = hasHexPrefix(text) ? text.substr(2) : text;
    if (digits.empty() || digits.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = digitValue(digits[i], 16);
        const int low = digitValue(digits[i + 1], 16);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
}

uint64_t hexToInt(const std::string& text) {
    const auto value = parseHex(trim(text));
    if (!value || *value > std::numeric_limits<uint64_t>::max()) {
        LOG_ERROR("ERROR!!! String is not a valid hexadecimal number");
        return std::numeric_limits<uint64_t>::max();
    }
    return static_cast<uint64_t>(*value);
}

}  // namespace drivekit::core::strings
