#include "drivekit/features/nvme_get_log/NVMeGetLog_PersistentEventLog.h"

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/nvme_get_log/pel/PersistentEventLogDecoder.h"

namespace drivekit::features::nvme_get_log {

namespace {

// The start of the log header: what the read needs of it.
#pragma pack(push, 1)
struct PersistentEventLogHeaderStart {
    uint8_t logIdentifier;
    uint8_t reserved[3];
    uint32_t totalNumberOfEvents;
    uint64_t totalLogLength;  // bytes of the whole log, this header included
};
#pragma pack(pop)
static_assert(sizeof(PersistentEventLogHeaderStart) == 16);

}  // namespace

core::Status NVMeGetLog_PersistentEventLog::sendCommand(core::Status& status) {
    LOG_ENTERING();
    attributes_.writeUint8(definitions::logSpecificField(), establishContext);
    core::Payload header;
    const bool read = readHeader(status, header, headerBytes, headerBytes).isSuccess();
    attributes_.writeUint8(definitions::logSpecificField(), readLogData);
    if (!read) {
        return finish(status);
    }
    return readRest(status, header, header.safeCast<PersistentEventLogHeaderStart>()->totalLogLength);
}

core::Status NVMeGetLog_PersistentEventLog::toXmlObject(core::Status& status,
                                                       std::unique_ptr<core::xml::XmlObject>& object) {
    core::Status decoded;
    object = pel::decodePersistentEventLog(payload_, decoded);
    LOG_DEBUG("Persistent event log decoded: " << decoded.message());
    status = core::Status::success();
    return finish(status);
}

}  // namespace drivekit::features::nvme_get_log
