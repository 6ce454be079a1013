#pragma once
// Temperature statistics of the maker's drives, behind the "SMI" gate. The product family
// named "Varnholt" serves it at LID 0xD5, the maker's other drives at 0xC5.
#include <cstdint>
#include <memory>

#include "drivekit/features/nvme_get_log/LogPage.h"

namespace drivekit::features::nvme_get_log {

class NVMeGetLog_TempStatistics : public LogPage {
public:
    static const LogPageInfo info;
    static constexpr uint8_t familyLogId = 0xD5;

    // The LID is chosen from the drive's "Product": familyLogId for the products the product
    // table gives the family's temperature LID.
    NVMeGetLog_TempStatistics(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes);

    // canRun (the gate and the base checks) first; then the one read.
    core::Status sendCommand(core::Status& status) override;

protected:
    // The page is temperature statistics at either LID.
    decode::PageContext pageContext() const override;
};

}  // namespace drivekit::features::nvme_get_log
