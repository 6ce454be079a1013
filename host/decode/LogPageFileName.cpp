#include "host/decode/LogPageFileName.h"

#include <array>
#include <cstdint>

namespace host {

namespace {

struct Part {
    const char* prefix;
    std::size_t digits;
};

constexpr std::array<Part, 3> parts{{{"lid_0x", 2}, {"_lsp_0x", 2}, {"_lsi_0x", 4}}};
const std::string suffix = ".bin";

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool LogPageFileName::parse(const std::string& name,
                            drivekit::features::nvme_get_log::decode::PageContext& context) {
    std::array<uint32_t, parts.size()> values{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string prefix = parts[i].prefix;
        if (name.compare(at, prefix.size(), prefix) != 0 || name.size() - at - prefix.size() < parts[i].digits) {
            return false;
        }
        at += prefix.size();
        for (std::size_t d = 0; d < parts[i].digits; ++d, ++at) {
            const int digit = hexDigit(name[at]);
            if (digit < 0) {
                return false;
            }
            values[i] = values[i] * 16 + static_cast<uint32_t>(digit);
        }
    }
    if (name.compare(at, std::string::npos, suffix) != 0) {
        return false;
    }
    context.logId = static_cast<uint8_t>(values[0]);
    context.logSpecificField = static_cast<uint8_t>(values[1]);
    context.logSpecificId = static_cast<uint16_t>(values[2]);
    return true;
}

}  // namespace host
