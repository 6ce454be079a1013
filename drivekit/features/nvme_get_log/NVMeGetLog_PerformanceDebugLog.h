#pragma once
// The maker's Performance Debug Log (LID 0xFA). What a read returns depends on the log
// specific field and on the drive's total FTL count ("MaxFTLCount", given by the caller).
#include <cstdint>
#include <memory>

#include "drivekit/features/nvme_get_log/LogPage.h"

namespace drivekit::features::nvme_get_log {

class NVMeGetLog_PerformanceDebugLog : public LogPage {
public:
    static const LogPageInfo info;

    NVMeGetLog_PerformanceDebugLog(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes);

    // One read at offset 0 sized from "LogSpecificField" and the FTL count; LSP 2 first reads
    // the debug history version that sizes it. An LSP the page does not know reads nothing
    // and is refused with "Invalid arguments.".
    core::Status sendCommand(core::Status& status) override;

    uint32_t maxFtlCount() const { return maxFtlCount_; }

private:
    // The dword count of the LSP 2 read; reads the version first.
    core::Status debugHistoryDwords(core::Status& status, uint32_t& dwords);

    uint32_t maxFtlCount_;
};

}  // namespace drivekit::features::nvme_get_log
