#pragma once
// The drive's Performance Debug Log mode (the maker's feature 0xFA), on while this lives and
// back as it was found when it ends: also when the reads between fail or stop early.
#include <cstdint>
#include <memory>

#include "drivekit/core/HostInterface.h"
#include "drivekit/features/nvme_features/NVMeFeature.h"

namespace plugin::cli::debug_logs {

class PerformanceDebugMode {
public:
    explicit PerformanceDebugMode(const std::shared_ptr<drivekit::core::Device>& device);
    ~PerformanceDebugMode();
    PerformanceDebugMode(const PerformanceDebugMode&) = delete;
    PerformanceDebugMode& operator=(const PerformanceDebugMode&) = delete;

private:
    // True when the drive took it.
    bool set(uint32_t value);

    drivekit::features::nvme_features::NVMeFeature feature_;
    size_t change_ = 0;
    uint32_t before_ = 0;  // off unless the drive said otherwise
};

}  // namespace plugin::cli::debug_logs
