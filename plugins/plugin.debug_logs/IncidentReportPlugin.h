#pragma once
// The plug-in's one feature object: the DebugLogs command around its IncidentReport device
// feature. One exists per process.
#include <memory>

#include "plugins/plugin.cliframework/SSDFeatureBase.h"

namespace plugin::cli {

// The name under which the plug-in's feature registers.
inline const std::string incidentReportPluginName = "IncidentReportPlugin";

class IncidentReportPlugin : public SSDFeatureBase {
public:
    // The plug-in object with its IncidentReport and the DebugLogs specification.
    static std::unique_ptr<IncidentReportPlugin> create();

    IncidentReportPlugin(std::string name, std::unique_ptr<drivekit::features::IFeature> deviceFeature)
        : SSDFeatureBase(std::move(name), std::move(deviceFeature)) {}
    ~IncidentReportPlugin() override;

    // "dump -debuglogs": id 0, with its options and targets in their order.
    static std::shared_ptr<CommandSpec> createDebugLogsSpec();
};

}  // namespace plugin::cli
