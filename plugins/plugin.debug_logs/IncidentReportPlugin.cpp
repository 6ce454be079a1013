#include "plugins/plugin.debug_logs/IncidentReportPlugin.h"

#include "plugins/plugin.cliframework/Vocabulary.h"
#include "plugins/plugin.debug_logs/IncidentReport.h"

namespace plugin::cli {

IncidentReportPlugin::~IncidentReportPlugin() = default;

std::unique_ptr<IncidentReportPlugin> IncidentReportPlugin::create() {
    auto plugin = std::make_unique<IncidentReportPlugin>(incidentReportPluginName, std::make_unique<IncidentReport>());
    const auto spec = createDebugLogsSpec();
    plugin->addProperties(*spec);
    plugin->addCommandSpec(spec);
    return plugin;
}

std::shared_ptr<CommandSpec> IncidentReportPlugin::createDebugLogsSpec() {
    auto spec = std::make_shared<CommandSpec>(0, "DebugLogs", verbs::dump, "Collects debug logs and creates ZIP package.");
    spec->addOption(parts::help);
    spec->addOption(parts::destination);
    spec->addOption(CommandSpecPart("-debuglogs", true, "", false, "Package into zip file."));
    spec->addOption(CommandSpecPart("-v", false, "", true, "Display verbose output"));
    spec->addOption(CommandSpecPart("-vv", false, "", true, "Display verbose output (Level 2)"));
    spec->addOption(CommandSpecPart("-extended", false, "", false, "Get extended log data if possible"));
    spec->addTarget(parts::ssdRequiredWithValue);
    spec->addTarget(CommandSpecPart("-type", false, "all|list|LOGNAME", true,
                                    "Option to extract specific log. Default = \"all\". \"list\" to list logs available."));
    return spec;
}

}  // namespace plugin::cli
