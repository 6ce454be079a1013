#pragma once
// The base of every collector of the debug-logs package.
#include <cstdint>
#include <memory>
#include <string>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Status.h"

namespace plugin::cli::debug_logs {

class DebugLogsInterface {
public:
    virtual ~DebugLogsInterface() = default;

    // Writes the collector's files for the drive into outputPath (a sub-folder of its own
    // when it has one). Fills and returns status.
    virtual drivekit::core::Status saveReport(drivekit::core::Status& status,
                                              const std::shared_ptr<drivekit::core::Device>& device,
                                              const std::string& outputPath) = 0;

    // Files written by the last saveReport; the generator counts them when it succeeded.
    uint32_t fileCount = 0;
    // Free for a collector's own use; the base leaves it empty.
    std::string text;
};

}  // namespace plugin::cli::debug_logs
