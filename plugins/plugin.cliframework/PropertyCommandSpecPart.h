#pragma once
#include "plugins/plugin.cliframework/CommandSpecPart.h"

namespace plugin::cli {

// A Name=Value pair of the command line, made from a feature's attribute definition.
class PropertyCommandSpecPart : public CommandSpecPart {
public:
    PropertyCommandSpecPart(std::string name, bool required, std::string valueName, std::string description)
        : CommandSpecPart(property, std::move(name), required, std::move(valueName), false,
                          std::move(description), true, std::string()) {}
};

}  // namespace plugin::cli
