#pragma once
// A telemetry log (host-initiated LID 0x07 or controller-initiated LID 0x08) as an XML tree:
// the header block's fields (data-area last blocks, data generation numbers, reason
// identifier), then the log's size and the size of the body that follows the header. The
// body belongs to the maker and is not decoded.
#include <cstdint>
#include <memory>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/decode/FieldTable.h"

namespace drivekit::features::telemetry::decode {

const features::decode::FieldTable& telemetryHeaderTable();

// header: the log's first bytes (at most the 512-byte header block is read); logBytes: the
// whole log's size. Never null. A header cut short decodes the fields it holds; a header cut
// short, or a log shorter than the data areas 1 to 3 that its header announces, ends with a
// "Truncated" property and gives "The IO command passed, but did not return the expected
// amount of data." with the sizes in its message; otherwise the status is success.
std::unique_ptr<core::xml::XmlObject> decodeTelemetryLog(uint8_t logId, const core::Payload& header,
                                                         uint64_t logBytes, core::Status& status);

}  // namespace drivekit::features::telemetry::decode
