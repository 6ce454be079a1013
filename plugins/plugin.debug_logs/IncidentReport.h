#pragma once
// The device feature behind the DebugLogs command: reads the command's settings from its
// attribute collection and lets a package generator do the work for the selected drive.
#include "drivekit/features/IFeature.h"

namespace plugin::cli {

class IncidentReport : public drivekit::features::IFeature {
public:
    ~IncidentReport() override = default;

    void run(drivekit::core::Status& status) override;
    // The command takes no properties: every argument is an option or a target.
    drivekit::features::AttributeDefinitions getRequiredAttributes(drivekit::core::Status& status) const override;
    drivekit::features::AttributeDefinitions getOptionalAttributes() const override;

    // 2 with "-vv", else 1 with "-v", else 0.
    static int verbosityOf(const drivekit::core::AttributeCollection& attributes);
};

}  // namespace plugin::cli
