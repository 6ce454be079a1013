#pragma once
#include "plugins/plugin.cliframework/CommandSpecPart.h"

namespace plugin::cli {

// What a command acts on ("-ssd", or a plug-in's own selector).
class TargetCommandSpecPart : public CommandSpecPart {
public:
    TargetCommandSpecPart(std::string name, bool required, std::string valueName, bool valueRequired,
                          std::string description, bool secondaryFlag = false, std::string alias = {})
        : CommandSpecPart(target, std::move(name), required, std::move(valueName), valueRequired,
                          std::move(description), secondaryFlag, std::move(alias)) {}
};

}  // namespace plugin::cli
