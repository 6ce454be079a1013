// The plug-in's two entry points, exported as Boost.DLL aliases in the "boostdll" section.
// This is the only file that makes them, so they are always defined here: GCC on Windows would
// otherwise only declare them.
#define BOOST_DLL_FORCE_ALIAS_INSTANTIATION
#include <boost/dll/alias.hpp>
#include <memory>
#include <string>

#include "drivekit/core/logging/boost/PluginLogging.h"
#include "plugins/plugin.cliframework/FeatureRegistry.h"
#include "plugins/plugin.debug_logs/IncidentReportPlugin.h"

namespace plugin::cli::exports {

namespace {
// Built on the first call; a construction that throws is tried again on the next one. The
// host's registries only borrow it; it lives until the library is unloaded.
IncidentReportPlugin& pluginObject() {
    static const std::unique_ptr<IncidentReportPlugin> plugin = IncidentReportPlugin::create();
    return *plugin;
}

bool holds(const FeatureRegistry& registry, const CommandSpec* spec) {
    for (const auto& held : registry.commandSpecs) {
        if (held.get() == spec) {
            return true;
        }
    }
    return false;
}
}  // namespace

bool registerFeatures(FeatureRegistry& registry) {
    IncidentReportPlugin& plugin = pluginObject();
    registry.features.push_back(&plugin);
    for (const auto& spec : plugin.getCommandSpecs()) {
        if (!holds(registry, spec.get())) {
            registry.commandSpecs.push_back(spec);
        }
        registry.featureBySpec[spec.get()] = &plugin;
    }
    return true;
}

void initializeLogger(bool enable, const std::string& logFilePath) {
    drivekit::core::logging::initializeLogger(enable, logFilePath);
}

}  // namespace plugin::cli::exports

// Laid out in the order written (this file is compiled with -fno-toplevel-reorder):
// register_features first, initialize_logger one pointer after it. exports.map keeps these two
// the library's only exports.
BOOST_DLL_ALIAS(plugin::cli::exports::registerFeatures, register_features)
BOOST_DLL_ALIAS(plugin::cli::exports::initializeLogger, initialize_logger)
