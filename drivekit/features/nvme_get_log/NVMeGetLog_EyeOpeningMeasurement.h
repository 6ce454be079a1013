#pragma once
// Eye Opening Measurement (LID 0x19): a 64-byte header that gives the length of the whole
// page, then the lane descriptors.
#include <cstdint>
#include <memory>

#include "drivekit/features/nvme_get_log/LogPage.h"

namespace drivekit::features::nvme_get_log {

class NVMeGetLog_EyeOpeningMeasurement : public LogPage {
public:
    static const LogPageInfo info;
    static constexpr uint32_t headerBytes = 64;

    NVMeGetLog_EyeOpeningMeasurement(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
        : LogPage(std::move(device), attributes, info) {}

    // The header, then the rest of the length it gives at increasing offsets.
    core::Status sendCommand(core::Status& status) override;
};

}  // namespace drivekit::features::nvme_get_log
