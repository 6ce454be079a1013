#pragma once
// Decodes the SMART sectors of a package ("SMART_DATA.bin", and "SMART_THRESHOLDS.bin" when
// it is there) the way the SMART feature decodes them from a drive.
#include <memory>
#include <string>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::features::smart {

inline const std::string smartDataTitle = "SMART Data";
inline const std::string smartThresholdsTitle = "SMART Thresholds";

// Root "SMART Data": the revision and the off-line / self-test fields of the data sector as
// properties, then one object per attribute (id, name, flags, current, worst, threshold, raw
// value, verdict), in table order. thresholds may be null: the attributes then carry no
// threshold and no verdict. productFamily is the drive's "Product" (naming and skipped ids).
//
// A sector shorter than 512 bytes: null and a failed status that says which and how long.
// A sector whose checksum is wrong: the tree, and a failed status whose message is the warning.
std::unique_ptr<core::xml::XmlObject> decodeSmartSectors(const core::Payload& data, const core::Payload* thresholds,
                                                         const std::string& productFamily, core::Status& status);

// Root "SMART Thresholds": the thresholds sector alone (revision, then each entry's attribute id
// and threshold). Short sector and wrong checksum as above.
std::unique_ptr<core::xml::XmlObject> decodeSmartThresholds(const core::Payload& thresholds, core::Status& status);

}  // namespace drivekit::features::smart
