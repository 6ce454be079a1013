#pragma once
// LBA Status Information (LID 0x0E): a 16-byte header whose first field is the length of the
// whole page, then the namespace elements.
#include <cstdint>
#include <memory>

#include "drivekit/features/nvme_get_log/LogPage.h"

namespace drivekit::features::nvme_get_log {

class NVMeGetLog_LBAStatusInfo : public LogPage {
public:
    static const LogPageInfo info;
    static constexpr uint32_t headerBytes = 16;

    NVMeGetLog_LBAStatusInfo(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
        : LogPage(std::move(device), attributes, info) {}

    // The header, then the rest of the length it gives. A page read with
    // "RetainAsynchronousEvent" set is released by one more header read with it cleared.
    core::Status sendCommand(core::Status& status) override;

private:
    void releaseLog();
};

}  // namespace drivekit::features::nvme_get_log
