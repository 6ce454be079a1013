#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"

#include "drivekit/features/nvme_get_log/pel/PersistentEventLogDecoder.h"

namespace drivekit::features::nvme_get_log::decode {

// Placeholder until the page tables land: only the persistent event log is routed.
bool hasLogPageDecoder(const PageContext& context) { return context.logId == 0x0D; }

std::unique_ptr<core::xml::XmlObject> decodeLogPage(const PageContext& context,
                                                    const core::Payload& page,
                                                    core::Status& status) {
    if (context.logId == 0x0D) {
        return pel::decodePersistentEventLog(page, status);
    }
    status = core::Status::notImplemented();
    return nullptr;
}

}  // namespace drivekit::features::nvme_get_log::decode
