#pragma once
// Writes every NVMe log page the plug-in knows, for one drive, as one raw binary file per page
// and per log-specific variant into the "log_pages" sub-folder. On the maker's Varnholt drives
// it also reads the vendor pages, the Performance Debug Log among them.
#include <cstdint>
#include <memory>
#include <string>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Status.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog.h"
#include "drivekit/features/PackageFileNames.h"
#include "plugins/plugin.debug_logs/debug_logs_common/DebugLogsInterface.h"

namespace plugin::cli::debug_logs {

class NVMeLogs : public DebugLogsInterface {
public:
    NVMeLogs() = default;

    // Success unless the drive is not one of the maker's NVMe drives ("Feature is not
    // supported."), the folder cannot be made, or the vendor branch could not read the firmware
    // parameters (that status). A page that fails only counts.
    drivekit::core::Status saveReport(drivekit::core::Status& status,
                                      const std::shared_ptr<drivekit::core::Device>& device,
                                      const std::string& outputPath) override;

    // fileCount (the base's) counts the files written; this one the pages that failed.
    uint32_t failedCount = 0;
    std::string folderName = drivekit::features::PackageFileNames::logPagesFolder;
    std::string displayName = "NVME Logs";

private:
    // Reads one page, writes its file and counts it.
    void savePage(drivekit::features::nvme_get_log::NVMeGetLog& page);
    void saveStandardPages(const std::shared_ptr<drivekit::core::Device>& device);
    // The vendor pages; returns the firmware-parameter status.
    drivekit::core::Status saveVendorPages(const std::shared_ptr<drivekit::core::Device>& device);
    void savePerformanceDebugLog(const std::shared_ptr<drivekit::core::Device>& device);

    std::string outputDirectory_;
};

}  // namespace plugin::cli::debug_logs
