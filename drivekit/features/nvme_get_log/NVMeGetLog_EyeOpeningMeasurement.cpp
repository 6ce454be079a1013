#include "drivekit/features/nvme_get_log/NVMeGetLog_EyeOpeningMeasurement.h"

#include "drivekit/core/logging/Log.h"

namespace drivekit::features::nvme_get_log {

namespace {

// The start of the header: what the read needs of it.
#pragma pack(push, 1)
struct EyeOpeningHeaderStart {
    uint8_t logId;
    uint8_t measurementInProgress;
    uint16_t headerSize;
    uint32_t resultSize;  // bytes of the whole page, this header included
};
#pragma pack(pop)
static_assert(sizeof(EyeOpeningHeaderStart) == 8);

}  // namespace

core::Status NVMeGetLog_EyeOpeningMeasurement::sendCommand(core::Status& status) {
    LOG_ENTERING();
    core::Payload header;
    if (!readHeader(status, header, headerBytes, headerBytes).isSuccess()) {
        return finish(status);
    }
    return readRest(status, header, header.safeCast<EyeOpeningHeaderStart>()->resultSize);
}

}  // namespace drivekit::features::nvme_get_log
