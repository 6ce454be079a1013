#pragma once
// The maker's NAND defects count (LID 0xF5): a 4-byte header (total length and entry count,
// 16 bits each), then the entries, read one piece per entry.
#include <cstdint>
#include <memory>

#include "drivekit/features/nvme_get_log/LogPage.h"

namespace drivekit::features::nvme_get_log {

class NVMeGetLog_VUDefectsCount : public LogPage {
public:
    static const LogPageInfo info;
    static constexpr uint32_t headerBytes = 4;

    NVMeGetLog_VUDefectsCount(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
        : LogPage(std::move(device), attributes, info) {}

    // The header, then one piece per entry at successive offsets. A header with no entries,
    // or with a length too short for them, is the whole page. "Unable to allocate memory.
    // NULL pointer was given." when the header does not come back whole.
    core::Status sendCommand(core::Status& status) override;
};

}  // namespace drivekit::features::nvme_get_log
