#include "plugins/plugin.debug_logs/IncidentReport.h"

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.cliframework/Vocabulary.h"
#include "plugins/plugin.debug_logs/debug_logs_common/PackageGenerator.h"

namespace plugin::cli {

using drivekit::core::Status;

int IncidentReport::verbosityOf(const drivekit::core::AttributeCollection& attributes) {
    if (attributes.contains("-vv")) {
        return 2;
    }
    return attributes.contains("-v") ? 1 : 0;
}

void IncidentReport::run(Status& status) {
    LOG_ENTERING();
    // Every step names files after the drive, so a run without one stops here.
    checkDevice(status);
    if (!status.isSuccess()) {
        return;
    }
    const std::string logType = attributes_.readString("-type");
    const bool extended = attributes_.contains("-extended");
    const std::string destination = attributes_.readString(parts::destination.name());
    PackageGenerator generator(device_);
    generator.run(status, destination, logType, verbosityOf(attributes_), extended);
    LOG_EXITING();
}

drivekit::features::AttributeDefinitions IncidentReport::getRequiredAttributes(Status& /*status*/) const {
    return {};
}

drivekit::features::AttributeDefinitions IncidentReport::getOptionalAttributes() const { return {}; }

}  // namespace plugin::cli
