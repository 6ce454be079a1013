#pragma once
// The persistent event log (LID 0x0D) as an XML tree: the log header, then one child per
// event with its header and data, walked with every length checked against the bytes held.
#include <memory>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::features::nvme_get_log::pel {

// The root "Persistent Event Log" object: the header's properties, then one "Event n" child
// per event with its header and data. Never null: a log cut short keeps the events before the
// cut, logs where it stopped and says so in a "Truncated" property; status is success unless
// the header itself is missing (the bare root and "The IO command passed, but did not return
// the expected amount of data.").
std::unique_ptr<core::xml::XmlObject> decodePersistentEventLog(const core::Payload& log,
                                                               core::Status& status);

// The root with the header's properties only, from the log's first bytes; the events are
// then walked with PersistentEventWalk. The bare root and unexpectedDataLength when the
// header is not whole.
std::unique_ptr<core::xml::XmlObject> persistentEventLogRoot(const core::Payload& head, core::Status& status);

}  // namespace drivekit::features::nvme_get_log::pel
