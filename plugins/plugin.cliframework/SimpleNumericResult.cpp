#include "plugins/plugin.cliframework/SimpleNumericResult.h"

#include <cctype>
#include <cstdlib>

#include "drivekit/features/Json.h"

namespace plugin::cli {

namespace {
bool allOf(const std::string& text, std::size_t from, int (*test)(int)) {
    if (from >= text.size()) {
        return false;
    }
    for (std::size_t i = from; i < text.size(); ++i) {
        if (!test(static_cast<unsigned char>(text[i]))) {
            return false;
        }
    }
    return true;
}

bool hasHexPrefix(const std::string& text) {
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}
}  // namespace

std::string SimpleNumericResult::toJson(uint32_t indent) const {
    return drivekit::features::Json::makeSigned(name(), toNumber(value())).toString(indent);
}

int64_t SimpleNumericResult::toNumber(const std::string& text) {
    // strto* saturate instead of throwing, so an oversized number cannot end the program.
    if (allOf(text, 0, isdigit)) {
        return std::strtoll(text.c_str(), nullptr, 10);
    }
    const std::size_t digits = hasHexPrefix(text) ? 2 : 0;
    if (allOf(text, digits, isxdigit)) {
        return static_cast<int64_t>(std::strtoull(text.c_str() + digits, nullptr, 16));
    }
    return std::strtoll(text.c_str(), nullptr, 10);
}

}  // namespace plugin::cli
