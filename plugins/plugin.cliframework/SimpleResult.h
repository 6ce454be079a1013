#pragma once
// A single name and value.
#include "plugins/plugin.cliframework/ResultBase.h"

namespace plugin::cli {

class SimpleResult : public ResultBase {
public:
    using ResultBase::ResultBase;

    // "name: value" and a line feed.
    std::string toText(uint32_t indent) const override;
    // "name,value" on one line: line feeds in the value become spaces; nothing is quoted.
    std::string toCsv() const override;
    // "name": "value"
    std::string toJson(uint32_t indent) const override;
    // <tag>value</tag> where the tag is the name made safe for XML (Serial Number -> Serial_Number).
    std::string toXml(uint32_t indent) const override;

    static std::string xmlTag(const std::string& name);
    // The characters that would end or break element content (& < >) as entities.
    static std::string xmlText(const std::string& text);
};

}  // namespace plugin::cli
