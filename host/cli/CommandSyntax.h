#pragma once
// What the host's parser and help printer need to know of one registered command: its
// identity and the parts a user may type. Built from a plug-in's CommandSpec by
// CommandSyntax::fromSpec, so the parser never depends on the plug-in's own classes.
#include <cstdint>
#include <string>
#include <vector>

namespace plugin::cli {
class CommandSpec;
class CommandSpecPart;
struct FeatureRegistry;
}  // namespace plugin::cli

namespace host::cli {

struct PartSyntax {
    std::string name;
    std::string alias;
    bool required = false;
    // The placeholder of the part's value; a part takes a value exactly when this is not empty.
    std::string valueName;
    bool valueRequired = false;
    std::string description;

    bool takesValue() const { return !valueName.empty(); }
    // The typed token names this part (its name or its alias, in any letter case).
    bool matches(const std::string& token) const;

    static PartSyntax fromSpecPart(const plugin::cli::CommandSpecPart& part);
};

struct CommandSyntax {
    uint32_t id = 0;
    std::string name;
    std::string verb;
    std::string description;
    std::vector<PartSyntax> options;
    std::vector<PartSyntax> targets;
    std::vector<PartSyntax> properties;
    // Position of the command in the host's registry, so the parser's choice can be traced
    // back to its CommandSpec and its feature.
    std::size_t registryIndex = 0;

    static CommandSyntax fromSpec(const plugin::cli::CommandSpec& spec, std::size_t registryIndex);
    // Every command the plug-ins registered, in the registry's order.
    static std::vector<CommandSyntax> fromRegistry(const plugin::cli::FeatureRegistry& registry);

    // The part among options and targets that the token names; nullptr when none does.
    const PartSyntax* findOptionOrTarget(const std::string& token, bool* isTarget = nullptr) const;
    const PartSyntax* findProperty(const std::string& name) const;
};

}  // namespace host::cli
