#include "drivekit/features/nvme_get_log/NVMeGetLog_VUDefectsCount.h"

#include "drivekit/core/logging/Log.h"

namespace drivekit::features::nvme_get_log {

namespace {

#pragma pack(push, 1)
struct DefectsCountHeader {
    uint16_t totalLength;  // bytes of the whole page, this header included
    uint16_t entryCount;
};
#pragma pack(pop)
static_assert(sizeof(DefectsCountHeader) == NVMeGetLog_VUDefectsCount::headerBytes);

// Bytes per entry, in whole dwords; 0 when the header gives no entries or no room for them.
uint32_t pieceBytesOf(const DefectsCountHeader& header) {
    if (header.entryCount == 0 || header.totalLength <= NVMeGetLog_VUDefectsCount::headerBytes) {
        return 0;
    }
    return 4 * ((header.totalLength - NVMeGetLog_VUDefectsCount::headerBytes) / (4u * header.entryCount));
}

}  // namespace

core::Status NVMeGetLog_VUDefectsCount::sendCommand(core::Status& status) {
    LOG_ENTERING();
    core::Payload first;
    if (!readHeader(status, first, headerBytes, headerBytes, core::Status::allocationFailed()).isSuccess()) {
        return finish(status);
    }
    const DefectsCountHeader header = *first.safeCast<DefectsCountHeader>();
    const uint32_t piece = pieceBytesOf(header);
    core::Payload page(headerBytes + uint64_t{piece} * header.entryCount);
    core::memory::memCopy(page.data(), page.size(), first.data(), headerBytes);
    if (piece == 0) {
        LOG_DEBUG("No entries to read: length " << header.totalLength << ", entries " << header.entryCount);
    }
    page.truncate(readPieces(status, page, headerBytes, piece));
    payload_ = page;
    LOG_DEBUG("Returned Payload of size: " << payload_.size());
    return finish(status);
}

}  // namespace drivekit::features::nvme_get_log
