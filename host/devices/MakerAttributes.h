#pragma once
// Whether a drive is one of the maker's, and of which family, as the device attributes say it:
// decided by the product table for a real drive, or by the family --as-maker names for any
// drive, real or simulated.
#include <cstdint>
#include <string>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/ProductTable.h"

namespace host::devices {

// Sets "Kestrova", "KestrovaNVMe", "KestrovaGen3SATA", "OEM", "Product" and "SMI". With a
// family (--as-maker), the drive is treated as one of the maker's drives of that family,
// whoever made it; without one, the product table decides from "ModelNumber".
void applyMakerAttributes(drivekit::core::AttributeCollection& attributes, drivekit::core::products::Bus bus,
                          uint16_t pciVendorId, const std::string& family);

}  // namespace host::devices
