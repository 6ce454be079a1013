#pragma once
// A name and a number held as text; its JSON form is a number, not a string.
#include "plugins/plugin.cliframework/SimpleResult.h"

namespace plugin::cli {

class SimpleNumericResult : public SimpleResult {
public:
    using SimpleResult::SimpleResult;

    std::string toJson(uint32_t indent) const override;

    // Decimal digits as decimal, "0x1F" or "1f" as hexadecimal, otherwise the decimal number
    // at the front of the text (0 when there is none); a number too large for 64 signed bits
    // gives the largest one.
    static int64_t toNumber(const std::string& text);
};

}  // namespace plugin::cli
