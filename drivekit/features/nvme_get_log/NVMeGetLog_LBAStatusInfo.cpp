#include "drivekit/features/nvme_get_log/NVMeGetLog_LBAStatusInfo.h"

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"

namespace drivekit::features::nvme_get_log {

namespace {

#pragma pack(push, 1)
struct LbaStatusHeader {
    uint32_t pageLength;  // bytes of the whole page, this header included
    uint32_t namespaceElements;
    uint32_t estimatedUnrecoveredBlocks;
    uint16_t reserved;
    uint16_t generationCounter;
};
#pragma pack(pop)
static_assert(sizeof(LbaStatusHeader) == NVMeGetLog_LBAStatusInfo::headerBytes);

}  // namespace

core::Status NVMeGetLog_LBAStatusInfo::sendCommand(core::Status& status) {
    LOG_ENTERING();
    core::Payload header;
    if (!readHeader(status, header, headerBytes, headerBytes).isSuccess()) {
        return finish(status);
    }
    readRest(status, header, header.safeCast<LbaStatusHeader>()->pageLength);
    if (attributes_.readBool(definitions::retainAsynchronousEvent().key())) {
        releaseLog();
    }
    return finish(status);
}

void NVMeGetLog_LBAStatusInfo::releaseLog() {
    attributes_.writeBool(definitions::retainAsynchronousEvent(), false);
    setOffset(0);
    setTransferBytes(headerBytes);
    core::Payload ignored;
    core::Status releaseStatus;
    if (!readPiece(releaseStatus, ignored).isSuccess()) {
        LOG_ERROR("Could not send the last command to release the log with async off");
    }
    attributes_.writeBool(definitions::retainAsynchronousEvent(), true);
}

}  // namespace drivekit::features::nvme_get_log
