#include "plugins/plugin.cliframework/ParsedCommand.h"

#include <boost/algorithm/string/predicate.hpp>

namespace plugin::cli {

const ParsedCommand::Argument* ParsedCommand::find(const std::vector<Argument>& list,
                                                   const std::string& name) {
    for (const auto& argument : list) {
        if (boost::algorithm::iequals(argument.name, name)) {
            return &argument;
        }
    }
    return nullptr;
}

namespace {
std::string valueOf(const ParsedCommand::Argument* argument) {
    return argument ? argument->value : std::string();
}
}  // namespace

std::string ParsedCommand::optionValue(const std::string& name) const {
    return valueOf(find(options, name));
}
std::string ParsedCommand::targetValue(const std::string& name) const {
    return valueOf(find(targets, name));
}
std::string ParsedCommand::propertyValue(const std::string& name) const {
    return valueOf(find(properties, name));
}

}  // namespace plugin::cli
