#pragma once
// A command line that cannot be run as given; always of type 201.
#include <memory>
#include <vector>

#include "plugins/plugin.cliframework/StatusResult.h"

namespace plugin::cli {

class CommandSpec;

class SyntaxStatusResult : public StatusResult {
public:
    explicit SyntaxStatusResult(const std::string& message) : StatusResult(message, syntaxError) {}

    // Specifications a host may show beside the message; the framework leaves it empty.
    const std::vector<std::shared_ptr<CommandSpec>>& specs() const { return specs_; }

private:
    std::vector<std::shared_ptr<CommandSpec>> specs_;
};

}  // namespace plugin::cli
