// The readings a person wants beside a raw value: temperatures, powers, counts and names
// worked out from the stored bytes.
#include <cstdio>
#include <string>

#include "drivekit/core/LittleEndian.h"
#include "drivekit/features/decode/FieldFormatter.h"

namespace drivekit::features::decode {

namespace {

constexpr uint32_t kelvinAtZeroCelsius = 273;

// value / divisor with as many decimals as the divisor has zeros, then the unit.
std::string fixedPoint(uint64_t value, uint64_t divisor, int decimals, const char* unit) {
    char text[48];
    std::snprintf(text, sizeof(text), "%llu.%0*llu %s", static_cast<unsigned long long>(value / divisor),
                  decimals, static_cast<unsigned long long>(value % divisor), unit);
    return text;
}

// An LBA data size of 0 marks a format the namespace does not support.
std::string bytesOfPowerOfTwo(uint64_t exponent) {
    if (exponent == 0) {
        return "not supported";
    }
    return exponent < 64 ? std::to_string(uint64_t{1} << exponent) + " bytes"
                         : "2^" + std::to_string(exponent) + " bytes";
}

// 0 K stands for a threshold the controller does not report, never for absolute zero.
std::string celsius(uint64_t kelvin) {
    if (kelvin == 0) {
        return "not reported";
    }
    return std::to_string(static_cast<int64_t>(kelvin) - kelvinAtZeroCelsius) + " °C";
}

// Maximum power: bytes 01:00 in units that bit 0 of byte 03 (MXPS) chooses.
std::string maxPower(const uint8_t* data, uint32_t width) {
    if (width < 4) {
        return {};
    }
    const uint64_t power = core::readLittleEndian(data, 2);
    return (data[3] & 0x01U) != 0 ? fixedPoint(power, 10000, 4, "W") : fixedPoint(power, 100, 2, "W");
}

// Idle and active power: bytes 01:00 with their scale in bits 7:6 of byte 02.
std::string scaledPower(const uint8_t* data, uint32_t width) {
    if (width < 3) {
        return {};
    }
    const uint64_t power = core::readLittleEndian(data, 2);
    switch (data[2] >> 6U) {
        case 0: return "not reported";
        case 1: return fixedPoint(power, 10000, 4, "W");
        case 2: return fixedPoint(power, 100, 2, "W");
        default: return "reserved scale";
    }
}

std::string controllerType(uint64_t type) {
    switch (type) {
        case 0: return "Not reported";
        case 1: return "I/O Controller";
        case 2: return "Discovery Controller";
        case 3: return "Administrative Controller";
        default: return "Reserved";
    }
}

// Identify Namespace from byte 25 (NLBAF) to the end of the LBA formats at byte 383.
std::string formatInUse(const uint8_t* data, uint32_t width) {
    constexpr uint32_t flbas = 26 - 25;
    constexpr uint32_t nulbaf = 82 - 25;
    constexpr uint32_t formats = 128 - 25;
    constexpr uint32_t formatSize = 4;
    constexpr uint32_t formatCount = 64;
    if (width < formats + formatSize * formatCount) {
        return {};
    }
    const uint32_t index = (data[flbas] & 0x0FU) | ((data[flbas] >> 5U) & 0x03U) << 4U;
    const uint8_t* format = data + formats + index * formatSize;
    std::string text = "LBA Format " + std::to_string(index) + ": ";
    text += format[2] == 0 ? std::string("a format without a data size")
                           : bytesOfPowerOfTwo(format[2]) + " of data, " +
                                 std::to_string(core::readLittleEndian(format, 2)) +
                                 " bytes of metadata";
    if (index > static_cast<uint32_t>(data[0]) + data[nulbaf]) {
        text += " (beyond the formats NLBAF and NULBAF count)";
    }
    return text;
}

}  // namespace

std::string FieldFormatter::reading(Rendering rendering, const uint8_t* data, uint32_t width) {
    if (data == nullptr || width == 0) {
        return {};
    }
    const uint64_t raw = core::readLittleEndian(data, width);
    switch (rendering) {
        case Rendering::nulTerminatedText: {
            uint32_t length = 0;
            while (length < width && data[length] != 0) {
                ++length;
            }
            return length == 0 ? std::string() : value(Rendering::text, data, length);
        }
        case Rendering::celsiusFromKelvin: return celsius(raw);
        case Rendering::zeroBasedCount:
            return width >= 8 && raw == ~uint64_t{0} ? "18446744073709551616" : std::to_string(raw + 1);
        case Rendering::powerOfTwoBytes: return bytesOfPowerOfTwo(raw);
        case Rendering::maxPowerWatts: return maxPower(data, width);
        case Rendering::scaledPowerWatts: return scaledPower(data, width);
        case Rendering::controllerTypeName: return controllerType(raw);
        case Rendering::lbaFormatInUse: return formatInUse(data, width);
        default: return {};  // value() renders the others; calling it back could loop
    }
}

}  // namespace drivekit::features::decode
