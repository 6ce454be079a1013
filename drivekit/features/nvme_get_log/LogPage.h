#pragma once
// A page of the log-page family: what the family's table says of it (registration and display
// names, LID, default size) and the drive attribute that must be set before it is read.
#include <cstdint>
#include <memory>

#include "drivekit/features/nvme_get_log/NVMeGetLog.h"
#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"

namespace drivekit::features::nvme_get_log {

// The drive attribute a page needs before the base checks run.
enum class LogPageGate { none, ocpSupported, ocp1Point0OrGreater, ocp2Point0OrGreater, smi };

struct LogPageInfo {
    const char* registrationName;
    const char* displayName;
    uint8_t logId;
    uint32_t numDwords;  // zero-based, as "NumDWORDs"
    LogPageGate gate;
};

// The zero-based dword count that covers bytes.
constexpr uint32_t zeroBasedDwords(uint32_t bytes) { return (bytes + 3) / 4 - 1; }

class LogPage : public NVMeGetLog {
public:
    LogPage(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes,
            const LogPageInfo& info);

    // The gate, then the base checks. An OCP gate that is not set gives "Open Compute Project
    // NVMe Cloud SSD Specification not supported on this drive.", "SMI" not set "The selected
    // drive does not support this feature.".
    core::Status canRun(core::Status& status) override;

    // The page held, decoded into named fields under the page's root name (an empty page gives
    // the bare root); the status is the decoder's. A LID without a decoder keeps the base's form.
    core::Status toXmlObject(core::Status& status, std::unique_ptr<core::xml::XmlObject>& object) override;

    const LogPageInfo& info() const { return *info_; }

protected:
    // What the decoder is told of the page beside its bytes: the read's LID, LSP and LSI and
    // what the drive says of itself.
    virtual decode::PageContext pageContext() const;

private:
    const LogPageInfo* info_;
};

}  // namespace drivekit::features::nvme_get_log
