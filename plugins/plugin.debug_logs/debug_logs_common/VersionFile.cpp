#include "plugins/plugin.debug_logs/debug_logs_common/VersionFile.h"

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/LocalClock.h"
#include "plugins/plugin.debug_logs/debug_logs_common/PluginVersion.h"

namespace plugin::cli::debug_logs {

drivekit::core::Status createVersionFile(drivekit::core::Status& status, const std::string& outputPath) {
    LOG_ENTERING();
    printMessage("Generate Version ", true, true);
    const std::string text =
        "Model ver. " + pluginVersion + "\r\n" + displayTimeStamp(LocalClock::now());
    const std::string path = filePathIn(outputPath, "version.txt");
    if (!writeTextFile(path, text, false)) {
        status = drivekit::core::Status::unableToCreateFile();
        return status;
    }
    LOG_DEBUG("Success in Writing version: " << path);
    printMessage("Version generated");
    printMessage("Successfully wrote " + path, true);
    status = drivekit::core::Status::success();
    return status;
}

}  // namespace plugin::cli::debug_logs
