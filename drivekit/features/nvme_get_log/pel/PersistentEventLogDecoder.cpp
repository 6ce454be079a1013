#include "drivekit/features/nvme_get_log/pel/PersistentEventLogDecoder.h"

namespace drivekit::features::nvme_get_log::pel {

// Placeholder until the event walk lands.
std::unique_ptr<core::xml::XmlObject> decodePersistentEventLog(const core::Payload&,
                                                               core::Status& status) {
    status = core::Status::notImplemented();
    return std::make_unique<core::xml::XmlObject>("Persistent Event Log");
}

}  // namespace drivekit::features::nvme_get_log::pel
