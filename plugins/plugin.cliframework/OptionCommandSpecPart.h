#pragma once
#include "plugins/plugin.cliframework/CommandSpecPart.h"

namespace plugin::cli {

class OptionCommandSpecPart : public CommandSpecPart {
public:
    OptionCommandSpecPart(std::string name, bool required, std::string valueName, bool valueRequired,
                          std::string description, bool secondaryFlag = false, std::string alias = {})
        : CommandSpecPart(option, std::move(name), required, std::move(valueName), valueRequired,
                          std::move(description), secondaryFlag, std::move(alias)) {}
};

}  // namespace plugin::cli
