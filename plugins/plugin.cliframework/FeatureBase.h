#pragma once
// The class through which the host drives every feature of a plug-in: it learns the commands,
// hands over the selected drives and runs a command with the parsed command line.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "plugins/plugin.cliframework/CommandSpec.h"
#include "plugins/plugin.cliframework/ParsedCommand.h"
#include "plugins/plugin.cliframework/ResultBase.h"

namespace plugin::cli {

class FeatureBase {
public:
    explicit FeatureBase(std::string name) : name_(std::move(name)) {}
    virtual ~FeatureBase() = default;
    FeatureBase(const FeatureBase&) = delete;
    FeatureBase& operator=(const FeatureBase&) = delete;

    virtual CommandSpec::Specs getCommandSpecs() const = 0;
    // result: what to print; it is never left empty after a run.
    virtual void run(std::shared_ptr<ResultBase>& result, uint32_t commandId,
                     const ParsedCommand& command) = 0;
    // result: empty when there is no objection to the command line.
    virtual void validate(std::shared_ptr<ResultBase>& result, uint32_t commandId,
                          const ParsedCommand& command);
    virtual void registerDevice(std::shared_ptr<drivekit::core::Device> device);

    const std::string& name() const { return name_; }

private:
    std::string name_;
};

}  // namespace plugin::cli
