#include "plugins/plugin.debug_logs/debug_logs_common/SaveLogToFile.h"

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"

namespace plugin::cli::debug_logs::utils {

bool SaveLogToFile(const std::string& filePath, const drivekit::core::Payload& payload,
                   const std::string& logName, const drivekit::core::Status& status) {
    if (writeBinaryFile(filePath, payload)) {
        LOG_DEBUG("Success in Writing " << logName << ": " << filePath);
        printMessage(logName + " generated");
        printMessage("Successfully wrote " + logName + " to " + filePath, true);
        return true;
    }
    LOG_DEBUG("Error in Writing " << logName << ": " << status.message());
    printMessage("Error in writing " + logName + " to " + filePath + ".");
    return false;
}

}  // namespace plugin::cli::debug_logs::utils
