#pragma once
// How a command is described to the host: its id, name, verb and help text, and the parts
// the host parses the command line against.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plugins/plugin.cliframework/CommandSpecPartList.h"

namespace plugin::cli {

class CommandSpec {
public:
    using Specs = std::vector<std::shared_ptr<CommandSpec>>;

    CommandSpec(uint32_t id, std::string name, std::string verb, std::string description)
        : id_(id), name_(std::move(name)), description_(std::move(description)), verb_(std::move(verb)) {}

    uint32_t id() const { return id_; }
    const std::string& name() const { return name_; }
    const std::string& description() const { return description_; }
    const std::string& verb() const { return verb_; }
    const CommandSpecPartList& options() const { return options_; }
    const CommandSpecPartList& targets() const { return targets_; }
    const CommandSpecPartList& properties() const { return properties_; }

    // A later part of the same name replaces the earlier one in its place.
    void addOption(const CommandSpecPart& part) { options_.add(part); }
    void addTarget(const CommandSpecPart& part) { targets_.add(part); }
    void addProperty(const CommandSpecPart& part) { properties_.add(part); }

    // The first specification with that id; null when there is none.
    static std::shared_ptr<CommandSpec> findSpec(const Specs& specs, uint32_t id);
    // Whether the list holds a part of that name, letter case ignored.
    static bool hasPart(const CommandSpecPartList& list, const std::string& name) { return list.contains(name); }

private:
    uint32_t id_;
    std::string name_;
    std::string description_;
    std::string verb_;
    CommandSpecPartList options_;
    CommandSpecPartList targets_;
    CommandSpecPartList properties_;
};

}  // namespace plugin::cli
