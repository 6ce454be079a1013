#include "plugins/plugin.cliframework/OutputOptionHelper.h"

#include <regex>

#include <boost/algorithm/string/predicate.hpp>
#include <boost/format.hpp>

#include "plugins/plugin.cliframework/SyntaxStatusResult.h"
#include "plugins/plugin.cliframework/Vocabulary.h"

namespace plugin::cli {

std::shared_ptr<ResultBase> OutputOptionHelper::validate(const ParsedCommand& command) const {
    const std::string& optionName = parts::output.name();
    const auto* given = ParsedCommand::find(command.options, optionName);
    if (!given || !spec()) {
        return nullptr;
    }
    const auto part = spec()->options().find(optionName);
    if (!part) {
        return nullptr;
    }
    const auto allowed = allowedValues(part->valueName());
    if (allowed.empty()) {
        return nullptr;  // the part names no formats to hold the value against
    }
    for (const auto& value : allowed) {
        if (boost::algorithm::iequals(value, given->value)) {
            return nullptr;
        }
    }
    const std::string message = (boost::format("Option %s expects %s") % part->name() % describe(allowed)).str();
    return std::make_shared<SyntaxStatusResult>(message);
}

std::vector<std::string> OutputOptionHelper::allowedValues(const std::string& valueName) {
    static const std::regex token("[^ ,;|]+");
    std::vector<std::string> values;
    for (auto it = std::sregex_iterator(valueName.begin(), valueName.end(), token); it != std::sregex_iterator();
         ++it) {
        values.push_back(it->str());
    }
    return values;
}

std::string OutputOptionHelper::describe(const std::vector<std::string>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            text += ", ";
            if (i + 1 == values.size()) {
                text += "or ";
            }
        }
        text += "'" + values[i] + "'";
    }
    return text;
}

}  // namespace plugin::cli
