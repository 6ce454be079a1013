#pragma once
// The names of the ATA SMART attribute ids. Some ids have alternative names; the product
// table's naming rule for the drive chooses among them.
#include <cstdint>
#include <string>

#include "drivekit/core/ProductTable.h"

namespace drivekit::features::smart {

inline const std::string vendorSpecificName = "Vendor Specific";
inline const std::string unknownName = "Unknown";

// The attribute's name under the naming rule: "Vendor Specific" for an id without an entry,
// "Unknown" for the ids that name no attribute (0x00 and 0xFF).
const std::string& ataAttributeName(uint8_t id, core::products::AtaSmartNaming naming);

}  // namespace drivekit::features::smart
