#include "plugins/plugin.debug_logs/debug_logs_common/SATALogs.h"

#include <boost/filesystem/operations.hpp>

#include "drivekit/commands/CommandFields.h"
#include "drivekit/commands/ata/SMARTReadData.h"
#include "drivekit/commands/ata/SMARTReadThresholds.h"
#include "drivekit/core/CommandJournal.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/StopRequest.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/PackageFileNames.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SaveLogToFile.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SavedBinaries.h"

namespace plugin::cli::debug_logs {

using drivekit::core::Status;
using drivekit::core::StopRequest;
using drivekit::features::PackageFileNames;
namespace fs = boost::filesystem;
namespace smart = drivekit::features::smart;

namespace {

// How the manifest's journal names the read of one SMART sector, by the sector's key.
std::string sectorReadKey(const std::string& key) {
    namespace ata = drivekit::commands::ata;
    return key == smart::smartThresholdsKey ? drivekit::commands::commandFields(ata::SMARTReadThresholds()).key
                                            : drivekit::commands::commandFields(ata::SMARTReadData()).key;
}

}  // namespace

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
        const Status read = readSectors(smartFeature);
        const bool nothingRead = smartFeature.rawData().empty();
        saveFile(smartFeature, PackageFileNames::smartThresholds, smart::smartThresholdsKey, read, nothingRead);
        saveFile(smartFeature, PackageFileNames::smartData, smart::smartAttributesKey, read, nothingRead);
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

Status SATALogs::readSectors(smart::SMART& smartFeature) {
    Status status;
    // One more try when either sector failed: the read sends both again, so a READ DATA that
    // fails once costs neither sector.
    if (!smartFeature.readSmart(status).isSuccess() && !StopRequest::requested()) {
        LOG_DEBUG("SMART read failed, tried again: " << status.message());
        smartFeature.readSmart(status);
    }
    return status;
}

void SATALogs::saveFile(smart::SMART& smartFeature, const std::string& fileName, const std::string& key,
                        const Status& read, bool nothingRead) {
    const auto raw = smartFeature.rawData();
    const auto found = raw.find(key);
    const std::string path = (fs::path(outputDirectory_) / fileName).string();
    Status status = read.isSuccess() ? Status::retrieveDataFailed() : read;
    if (found != raw.end()) {
        // Both sectors were read before either is written: each file is given its own reads.
        drivekit::core::CommandJournal::claimReads(path, sectorReadKey(key));
        // A full or read-only disk must not count as a saved sector.
        if (utils::SaveLogToFile(path, found->second, key, status)) {
            recordSavedBinary(folderName_, fileName);
            printMessage("Successfully generated SATA Log: " + fileName + ".", true);
            ++fileCount;
            return;
        }
        status = Status::failedToWriteFile();
    }
    LOG_ERROR(fileName << " not saved: " << status.message());
    if (nothingRead) {
        // Neither sector came: the collector's one line says why.
        return;
    }
    printMessage("Failed to generated SATA Log: " + fileName + ". Error: " + status.message(), true);
    ++failedCount;
}

}  // namespace plugin::cli::debug_logs
