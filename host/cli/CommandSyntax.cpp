#include "host/cli/CommandSyntax.h"

#include <boost/algorithm/string/predicate.hpp>

#include "plugins/plugin.cliframework/CommandSpec.h"
#include "plugins/plugin.cliframework/FeatureRegistry.h"

namespace host::cli {

namespace {
std::vector<PartSyntax> partsOf(const plugin::cli::CommandSpecPartList& list) {
    std::vector<PartSyntax> parts;
    for (const auto& part : list) {
        if (part) {
            parts.push_back(PartSyntax::fromSpecPart(*part));
        }
    }
    return parts;
}
}  // namespace

PartSyntax PartSyntax::fromSpecPart(const plugin::cli::CommandSpecPart& part) {
    return {part.name(), part.alias(), part.required(), part.valueName(), part.valueRequired(),
            part.description()};
}

CommandSyntax CommandSyntax::fromSpec(const plugin::cli::CommandSpec& spec, std::size_t registryIndex) {
    CommandSyntax syntax;
    syntax.id = spec.id();
    syntax.name = spec.name();
    syntax.verb = spec.verb();
    syntax.description = spec.description();
    syntax.options = partsOf(spec.options());
    syntax.targets = partsOf(spec.targets());
    syntax.properties = partsOf(spec.properties());
    syntax.registryIndex = registryIndex;
    return syntax;
}

std::vector<CommandSyntax> CommandSyntax::fromRegistry(const plugin::cli::FeatureRegistry& registry) {
    std::vector<CommandSyntax> syntaxes;
    for (std::size_t i = 0; i < registry.commandSpecs.size(); ++i) {
        if (registry.commandSpecs[i]) {
            syntaxes.push_back(fromSpec(*registry.commandSpecs[i], i));
        }
    }
    return syntaxes;
}

bool PartSyntax::matches(const std::string& token) const {
    return boost::algorithm::iequals(token, name) ||
           (!alias.empty() && boost::algorithm::iequals(token, alias));
}

const PartSyntax* CommandSyntax::findOptionOrTarget(const std::string& token, bool* isTarget) const {
    for (const auto& part : options) {
        if (part.matches(token)) {
            if (isTarget) {
                *isTarget = false;
            }
            return &part;
        }
    }
    for (const auto& part : targets) {
        if (part.matches(token)) {
            if (isTarget) {
                *isTarget = true;
            }
            return &part;
        }
    }
    return nullptr;
}

const PartSyntax* CommandSyntax::findProperty(const std::string& name) const {
    for (const auto& part : properties) {
        if (boost::algorithm::iequals(part.name, name)) {
            return &part;
        }
    }
    return nullptr;
}

}  // namespace host::cli
