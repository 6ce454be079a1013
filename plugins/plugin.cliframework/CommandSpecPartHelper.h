#pragma once
// Base of the checks that look at one part of a parsed command against its specification.
#include <memory>

#include "plugins/plugin.cliframework/CommandSpec.h"
#include "plugins/plugin.cliframework/ParsedCommand.h"
#include "plugins/plugin.cliframework/ResultBase.h"

namespace plugin::cli {

class CommandSpecPartHelper {
public:
    explicit CommandSpecPartHelper(std::shared_ptr<CommandSpec> spec) : spec_(std::move(spec)) {}
    virtual ~CommandSpecPartHelper() = default;

    // Null when the check passes; otherwise the result to hand back to the user.
    virtual std::shared_ptr<ResultBase> validate(const ParsedCommand& command) const = 0;

protected:
    const std::shared_ptr<CommandSpec>& spec() const { return spec_; }

private:
    std::shared_ptr<CommandSpec> spec_;
};

}  // namespace plugin::cli
