#pragma once
// Persistent Event Log (LID 0x0D): a 512-byte header that gives the length of the whole log,
// then the events.
#include <cstdint>
#include <memory>

#include "drivekit/features/nvme_get_log/LogPage.h"

namespace drivekit::features::nvme_get_log {

class NVMeGetLog_PersistentEventLog : public LogPage {
public:
    static const LogPageInfo info;
    static constexpr uint32_t headerBytes = 512;
    // Log specific fields: read the log after establishing the reporting context, or within it.
    static constexpr uint8_t establishContext = 1;
    static constexpr uint8_t readLogData = 0;

    NVMeGetLog_PersistentEventLog(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
        : LogPage(std::move(device), attributes, info) {}

    // The header (establishing the context), then the log up to its Total_Log_Length in
    // pieces as large as the drive takes.
    core::Status sendCommand(core::Status& status) override;
    // The log header, then one "Event n" child per event. A malformed log never fails: the
    // tree holds what was decoded before the fault, and the bytes stay in the payload.
    core::Status toXmlObject(core::Status& status, std::unique_ptr<core::xml::XmlObject>& object) override;
};

}  // namespace drivekit::features::nvme_get_log
