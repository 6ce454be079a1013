#pragma once
// The host's registry of features: the plug-in fills it through register_features, the host
// owns it. It only borrows the features; each stays owned by the plug-in that entered it.
#include <map>
#include <memory>
#include <vector>

#include "plugins/plugin.cliframework/CommandSpec.h"
#include "plugins/plugin.cliframework/FeatureBase.h"

namespace plugin::cli {

struct FeatureRegistry {
    std::vector<FeatureBase*> features;
    // Keyed by the command spec's address: identity, not name, tells two commands apart.
    std::map<const CommandSpec*, FeatureBase*> featureBySpec;
    std::vector<std::shared_ptr<CommandSpec>> commandSpecs;
};

}  // namespace plugin::cli
