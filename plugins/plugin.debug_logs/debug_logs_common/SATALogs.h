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
    SATALogs(std::string folderName = drivekit::features::PackageFileNames::sataLogsFolder,
             std::string title = "SATA Logs")
        : folderName_(std::move(folderName)), title_(std::move(title)) {}

    // "Feature is not supported." for any other drive (nothing printed, no folder made);
    // "Failed to retrieve data from selected drive." when no file was written.
    drivekit::core::Status saveReport(drivekit::core::Status& status,
                                      const std::shared_ptr<drivekit::core::Device>& device,
                                      const std::string& outputPath) override;

    // Files that were not produced in the last run (fileCount, the base's, those that were).
    uint32_t failedCount = 0;

private:
    // Reads both sectors, a second time when the first read failed; the last read's status.
    static drivekit::core::Status readSectors(drivekit::features::smart::SMART& smart);
    // Writes the sector held under key, or says why it is missing: the read's status, or
    // "Failed to retrieve data from selected drive." when the read passed without it. When
    // nothing at all was read, the missing sector is only logged and not counted.
    void saveFile(drivekit::features::smart::SMART& smart, const std::string& fileName, const std::string& key,
                  const drivekit::core::Status& read, bool nothingRead);

    std::string folderName_;
    std::string title_;
    std::string outputDirectory_;
};

}  // namespace plugin::cli::debug_logs
