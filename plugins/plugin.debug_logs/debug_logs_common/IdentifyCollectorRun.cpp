#include "plugins/plugin.debug_logs/debug_logs_common/IdentifyCollectorRun.h"

namespace plugin::cli::debug_logs {

// The collector was given the drive and the output folder when it was built.
drivekit::core::Status IdentifyCollectorRun::saveReport(drivekit::core::Status& status,
                                                        const std::shared_ptr<drivekit::core::Device>&,
                                                        const std::string&) {
    collector_.saveIdentifyLogs(status);
    fileCount = collector_.fileCount;
    return status;
}

}  // namespace plugin::cli::debug_logs
