#include "plugins/plugin.debug_logs/debug_logs_common/ProductInfo.h"

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/identify/nvme/ReadProductType.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"

namespace plugin::cli::debug_logs {

using drivekit::core::Status;

std::string ProductInfo::jsonText(uint8_t productType) {
    return "{\n    \"product\": " + std::to_string(productType) + "\n}";
}

Status ProductInfo::saveReport(Status& status, const std::shared_ptr<drivekit::core::Device>& device,
                               const std::string& outputPath) {
    LOG_ENTERING();
    status = Status::success();
    printMessage("Generate " + title_, true, true);
    uint8_t productType = 0;
    Status readStatus;
    drivekit::features::identify::nvme::readProductType(readStatus, device, productType);
    if (!readStatus.isSuccess()) {
        LOG_DEBUG("No product type: " << readStatus.message());
        return status;
    }
    const std::string path = filePathIn(outputPath, jsonFileName);
    if (!writeTextFile(path, jsonText(productType), false)) {
        status = Status::unableToCreateFile();
        return status;
    }
    printMessage(title_ + " generated");
    printMessage("Successfully wrote " + path, true);
    LOG_EXITING();
    return status;
}

}  // namespace plugin::cli::debug_logs
