#pragma once
// Writes "system_info.log": the plug-in's version, the local time and the output of the
// platform's system commands. It sends nothing to the drive.
#include "plugins/plugin.debug_logs/debug_logs_common/DebugLogsInterface.h"

namespace plugin::cli::debug_logs {

class SystemInfo : public DebugLogsInterface {
public:
    explicit SystemInfo(std::string title) : title_(std::move(title)) {}

    // Always success: a log that cannot be written ends the step quietly.
    drivekit::core::Status saveReport(drivekit::core::Status& status,
                                      const std::shared_ptr<drivekit::core::Device>& device,
                                      const std::string& outputPath) override;

private:
    std::string title_;
};

}  // namespace plugin::cli::debug_logs
