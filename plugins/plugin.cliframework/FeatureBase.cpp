#include "plugins/plugin.cliframework/FeatureBase.h"

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.cliframework/OutputOptionHelper.h"
#include "plugins/plugin.cliframework/SyntaxStatusResult.h"
#include "plugins/plugin.cliframework/Vocabulary.h"

namespace plugin::cli {

void FeatureBase::validate(std::shared_ptr<ResultBase>& result, uint32_t commandId,
                           const ParsedCommand& command) {
    const CommandSpec::Specs specs = getCommandSpecs();
    if (command.hasOption(parts::all.name()) && command.hasOption(parts::display.name())) {
        result = std::make_shared<SyntaxStatusResult>("Options 'all' and 'display' cannot be used together.");
        return;
    }
    result = OutputOptionHelper(CommandSpec::findSpec(specs, commandId)).validate(command);
}

void FeatureBase::registerDevice(std::shared_ptr<drivekit::core::Device>) {
    LOG_TRACE("plugin::cli::FeatureBase::registerDevice");
}

}  // namespace plugin::cli
