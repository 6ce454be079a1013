#include "plugins/plugin.cliframework/SimpleNumericResult.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "drivekit/core/TextParsing.h"
#include "drivekit/features/Json.h"

namespace plugin::cli {

std::string SimpleNumericResult::toJson(uint32_t indent) const {
    return drivekit::features::Json::makeSigned(name(), toNumber(value())).toString(indent);
}

int64_t SimpleNumericResult::toNumber(const std::string& text) {
    namespace strings = drivekit::core::strings;
    // Decimal digits are decimal even where they could be read as hexadecimal.
    auto value = strings::parseMagnitude(text);
    if (!value) {
        value = strings::parseHex(text);
    }
    // Too large for the number saturates, as strtoll does, so no text can end the program.
    static const strings::Uint128 highest = std::numeric_limits<int64_t>::max();
    if (value) {
        return static_cast<int64_t>(std::min(*value, highest));
    }
    return std::strtoll(text.c_str(), nullptr, 10);
}

}  // namespace plugin::cli
