#pragma once
// The command line as the host parsed it: per option, target and property its name and value.
// The host builds it and owns it; a feature only reads it.
#include <string>
#include <vector>

namespace plugin::cli {

struct ParsedCommand {
    struct Argument {
        std::string name;
        std::string value;
    };
    std::string verb;
    std::string commandName;
    std::vector<Argument> options;
    std::vector<Argument> targets;
    std::vector<Argument> properties;

    // Case-insensitive lookups by name.
    static const Argument* find(const std::vector<Argument>& list, const std::string& name);
    bool hasOption(const std::string& name) const { return find(options, name) != nullptr; }
    bool hasTarget(const std::string& name) const { return find(targets, name) != nullptr; }
    // The value given for the option (or target, or property); empty when absent.
    std::string optionValue(const std::string& name) const;
    std::string targetValue(const std::string& name) const;
    std::string propertyValue(const std::string& name) const;
};

}  // namespace plugin::cli
