#pragma once
// The product type of an NVMe drive of the product family that records it in its Identify
// Controller data.
#include <cstdint>
#include <memory>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Status.h"

namespace drivekit::features::identify::nvme {

// Byte offset of the product type in the Identify Controller data (vendor specific area).
constexpr uint32_t productTypeOffset = 0xF05;
// Sends Identify Controller. productType is the byte at productTypeOffset when the command
// succeeded, returned the whole structure and the drive's "Product" is one that records it;
// 0 otherwise.
void readProductType(core::Status& status, const std::shared_ptr<core::Device>& device, uint8_t& productType);

}  // namespace drivekit::features::identify::nvme
