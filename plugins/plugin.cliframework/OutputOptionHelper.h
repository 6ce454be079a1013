#pragma once
// Checks the value of "-output" against the formats the command's "-output" part names.
#include <string>
#include <vector>

#include "plugins/plugin.cliframework/CommandSpecPartHelper.h"

namespace plugin::cli {

class OutputOptionHelper : public CommandSpecPartHelper {
public:
    using CommandSpecPartHelper::CommandSpecPartHelper;

    // Passes without "-output", without a command description, or when the command has no
    // "-output" part; otherwise the value must be one of the part's formats (letter case ignored).
    std::shared_ptr<ResultBase> validate(const ParsedCommand& command) const override;

    // "text|json" -> text, json; spaces, commas, semicolons and bars all separate.
    static std::vector<std::string> allowedValues(const std::string& valueName);
    // 'a', 'b', or 'c'
    static std::string describe(const std::vector<std::string>& values);
};

}  // namespace plugin::cli
