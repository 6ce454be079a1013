#pragma once
// Writes a drive's two NVMe telemetry logs, host-initiated (0x07) and controller-initiated
// (0x08), as raw files into the "log_pages" sub-folder. It chooses the data area (3, or 4 when
// the user asked for the extended area and the storage driver can carry it); the telemetry
// feature does the reading.
#include <cstdint>
#include <memory>
#include <string>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Status.h"
#include "drivekit/features/telemetry/Telemetry.h"
#include "drivekit/features/PackageFileNames.h"
#include "plugins/plugin.debug_logs/debug_logs_common/DebugLogsInterface.h"

namespace plugin::cli::debug_logs {

class Telemetry : public DebugLogsInterface {
public:
    // Builds of the Microsoft storage driver below this one cannot carry data area 4.
    static constexpr int64_t firstDataArea4Build = 1882;

    // The result is the controller-initiated log's; the host-initiated one only counts.
    drivekit::core::Status saveReport(drivekit::core::Status& status,
                                      const std::shared_ptr<drivekit::core::Device>& device,
                                      const std::string& outputPath) override;

    // 4 when the extended area is wanted and the drive's storage driver is not a Microsoft
    // build known to be too old for it; 3 otherwise. Prints and logs as the run does.
    static uint32_t chooseDataArea(const drivekit::core::Device& device, bool dataArea4Wanted);

    // fileCount (the base's) counts the logs written; this one those that failed.
    uint32_t failedCount = 0;
    bool dataArea4Wanted = false;
    uint32_t dataArea = 3;
    std::string folderName = drivekit::features::PackageFileNames::logPagesFolder;
    std::string displayName = "Telemetry";

private:
    // Reads one log straight into fileName in the output directory (fileName becomes the full
    // path) and returns the outcome. A read that failed leaves no file.
    drivekit::core::Status saveLog(drivekit::core::Status& status,
                                   drivekit::features::telemetry::Telemetry& feature, std::string& fileName);

    std::string outputDirectory_;
};

}  // namespace plugin::cli::debug_logs
