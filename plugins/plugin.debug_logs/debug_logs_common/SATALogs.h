#pragma once
// Writes the two SMART sectors of one of the maker's third-generation SATA drives into the
// "SATA_logs" sub-folder: "SMART_THRESHOLDS.bin" and "SMART_DATA.bin", each exactly as the
// drive returned it.
#include <cstdint>
#include <memory>
#include <string>

#include "drivekit/features/smart/SMART.h"
#include "drivekit/features/PackageFileNames.h"
#include "plugins/plugin.debug_logs/debug_logs_common/DebugLogsInterface.h"

namespace plugin::cli::debug_logs {

class SATALogs : public DebugLogsInterface {
public:
    SATALogs(std::string folderName = drivekit::features::PackageFileNames::sataLogsFolder, std::string title = "SATA Logs")
        : folderName_(std::move(folderName)), title_(std::move(title)) {}

    // "Feature is not supported." for any other drive (nothing printed, no folder made);
    // "Failed to retrieve data from selected drive." when no file was written.
    drivekit::core::Status saveReport(drivekit::core::Status& status,
                                      const std::shared_ptr<drivekit::core::Device>& device,
                                      const std::string& outputPath) override;

    // Files that were not produced in the last run (fileCount, the base's, those that were).
    uint32_t failedCount = 0;

private:
    drivekit::core::Status saveFile(drivekit::features::smart::SMART& smart, const std::string& fileName,
                                    const std::string& key);

    std::string folderName_;
    std::string title_;
    std::string outputDirectory_;
};

}  // namespace plugin::cli::debug_logs
