#pragma once
// Endurance Group Event Aggregate (LID 0x0F): an 8-byte entry count, then one 2-byte endurance
// group identifier per entry. Read in 4096-byte pieces at successive offsets.
#include <cstdint>
#include <memory>

#include "drivekit/features/nvme_get_log/LogPage.h"

namespace drivekit::features::nvme_get_log {

class NVMeGetLog_EnduranceGroupEvent : public LogPage {
public:
    static const LogPageInfo info;
    static constexpr uint32_t pieceBytes = 4096;

    NVMeGetLog_EnduranceGroupEvent(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
        : LogPage(std::move(device), attributes, info) {}

    // The first piece, then as many more as the entry count needs (the length bounded by
    // largestLogBytes), each into one buffer reserved for them all. "Unable to allocate
    // memory. NULL pointer was given." when the first piece cannot hold the entry count.
    core::Status sendCommand(core::Status& status) override;
};

}  // namespace drivekit::features::nvme_get_log
