#include "drivekit/features/nvme_get_log/NVMeGetLog_EnduranceGroupEvent.h"

#include <algorithm>

#include "drivekit/core/logging/Log.h"

namespace drivekit::features::nvme_get_log {

namespace {

constexpr uint64_t countBytes = sizeof(uint64_t);
constexpr uint64_t entryBytes = sizeof(uint16_t);

// The page length the entry count gives, saturated rather than wrapped.
uint64_t pageLength(uint64_t entries) {
    return entries > (UINT64_MAX - countBytes) / entryBytes ? UINT64_MAX : countBytes + entryBytes * entries;
}

}  // namespace

core::Status NVMeGetLog_EnduranceGroupEvent::sendCommand(core::Status& status) {
    LOG_ENTERING();
    // The first piece must at least hold the entry count.
    core::Payload first;
    if (!readHeader(status, first, pieceBytes, countBytes, core::Status::allocationFailed()).isSuccess()) {
        return finish(status);
    }
    const uint64_t length = boundedLength(pageLength(*first.safeCast<uint64_t>()));
    const uint64_t pieces = std::max<uint64_t>((length + pieceBytes - 1) / pieceBytes, 1);
    if (pieces == 1) {
        payload_ = first;
        return finish(status);
    }
    core::Payload page(pieces * pieceBytes);
    if (page.empty()) {
        status = core::Status::allocationFailed();
        return finish(status);
    }
    // The first piece is whole: a shorter one failed the header read.
    core::memory::memCopy(page.data(), page.size(), first.data(), pieceBytes);
    page.truncate(readPieces(status, page, pieceBytes, pieceBytes));
    payload_ = page;
    LOG_DEBUG("Returned Payload of size: " << payload_.size());
    return finish(status);
}

}  // namespace drivekit::features::nvme_get_log
