#include "plugins/plugin.debug_logs/debug_logs_common/SystemInfo.h"

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/LocalClock.h"
#include "plugins/plugin.debug_logs/debug_logs_common/PluginVersion.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

namespace plugin::cli::debug_logs {

namespace {
std::string logHeader() {
    const std::string dashes(40, '-');
    return dashes + "Section: Version" + std::string(72, '-') + "\n" + pluginVersion + "\n" + dashes +
           " Section: Date & Time " + std::string(72, '-') + "\n" + displayTimeStamp(LocalClock::now()) +
           "\n";
}
}  // namespace

drivekit::core::Status SystemInfo::saveReport(drivekit::core::Status& status,
                                              const std::shared_ptr<drivekit::core::Device>& /*device*/,
                                              const std::string& outputPath) {
    LOG_ENTERING();
    const std::string path = filePathIn(outputPath, "system_info.log");
    printMessage("Generate " + title_ + " Log", true, true);
    status = drivekit::core::Status::success();
    const std::string header = logHeader();
    LOG_DEBUG("Receive Command status : " << status.message());
    if (!writeTextFile(path, header, false)) {
        return status;
    }
    LOG_DEBUG("Success in Writing System Info: " << path);
    WriteSystemCommandsOutputToLog(status, path);
    printMessage(title_ + " log generated");
    status = drivekit::core::Status::success();
    return status;
}

}  // namespace plugin::cli::debug_logs
