#pragma once
// The persistent event log (LID 0x0D) as an XML tree: the log header, then one child per
// event with its header and data, walked with every length checked against the bytes held.
#include <memory>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::features::nvme_get_log::pel {

// The root "Persistent Event Log" object. Never null: a log cut short keeps what was decoded
// before the cut and logs where it stopped; status is success unless the header itself is
// missing.
std::unique_ptr<core::xml::XmlObject> decodePersistentEventLog(const core::Payload& log,
                                                               core::Status& status);

}  // namespace drivekit::features::nvme_get_log::pel
