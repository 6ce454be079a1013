#include "plugins/plugin.debug_logs/debug_logs_common/SATALogs.h"

#include <boost/filesystem/operations.hpp>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/StopRequest.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/PackageFileNames.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SaveLogToFile.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SavedBinaries.h"

namespace plugin::cli::debug_logs {

using drivekit::core::Payload;
using drivekit::core::Status;
using drivekit::core::StopRequest;
using drivekit::features::PackageFileNames;
namespace fs = boost::filesystem;
namespace smart = drivekit::features::smart;

Status SATALogs::saveReport(Status& status, const std::shared_ptr<drivekit::core::Device>& device,
                            const std::string& outputPath) {
    LOG_ENTERING();
    status = Status::success();
    if (!device || !device->attributes.readBool(drivekit::core::attributes::kestrovaGen3SATA().key())) {
        status = Status::featureNotSupported();
        return status;
    }
    outputDirectory_ = filePathIn(outputPath, folderName_);
    fileCount = 0;
    failedCount = 0;
    printMessage("Generate " + title_, true, true);
    if (!fs::exists(outputDirectory_) && !fs::create_directories(outputDirectory_)) {
        status = Status::failedToCreateDirectory();
        return status;
    }
    smart::SMART smartFeature(device);
    Status canRun;
    if (smartFeature.canRun(canRun).isSuccess()) {
        saveFile(smartFeature, PackageFileNames::smartThresholds, smart::smartThresholdsKey);
        if (!StopRequest::requested()) {
            saveFile(smartFeature, PackageFileNames::smartData, smart::smartAttributesKey);
        }
    } else {
        printMessage("SMART Log Support Error: " + canRun.message(), true);
    }
    if (StopRequest::requested()) {
        status = Status::interrupted();
        return status;
    }
    status = fileCount < 1 ? Status::retrieveDataFailed() : Status::success();
    // A read that failed for both files leaves no per-file line: say once why nothing came.
    if (canRun.isSuccess() && fileCount < 1 && failedCount == 0) {
        printMessage("SMART Log Error: " + status.message(), true);
    }
    LOG_EXITING();
    return status;
}

Status SATALogs::saveFile(smart::SMART& smartFeature, const std::string& fileName, const std::string& key) {
    Status status;
    if (smartFeature.rawData().empty() && !smartFeature.readSmart(status).isSuccess()) {
        LOG_DEBUG("SMART read failed: " << status.message());
        return status;
    }
    const auto raw = smartFeature.rawData();
    const auto found = raw.find(key);
    const Payload payload = found != raw.end() ? found->second : Payload();
    const std::string path = (fs::path(outputDirectory_) / fileName).string();
    if (!payload.empty()) {
        // A full or read-only disk must not count as a saved sector.
        if (utils::SaveLogToFile(path, payload, key, status)) {
            recordSavedBinary(folderName_, fileName);
            printMessage("Successfully generated SATA Log: " + fileName + ".", true);
            ++fileCount;
            return status;
        }
        status = Status::failedToWriteFile();
    } else {
        status = Status::retrieveDataFailed();
    }
    printMessage("Failed to generated SATA Log: " + fileName + ". Error: " + status.message(), true);
    ++failedCount;
    return status;
}

}  // namespace plugin::cli::debug_logs
