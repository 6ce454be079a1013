#include "plugins/plugin.cliframework/CommandSpec.h"

namespace plugin::cli {

std::shared_ptr<CommandSpec> CommandSpec::findSpec(const Specs& specs, uint32_t id) {
    for (const auto& spec : specs) {
        if (spec && spec->id() == id) {
            return spec;
        }
    }
    return nullptr;
}

}  // namespace plugin::cli
