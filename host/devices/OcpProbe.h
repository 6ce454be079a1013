#pragma once
// The reads a host makes of any NVMe drive to learn what its Identify Controller structure
// does not say: whether it speaks the OCP Cloud SSD pages, and in which version.
#include <cstdint>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"

namespace host::devices {

// One Identify structure; fails when the drive returns fewer bytes than the structure holds.
drivekit::core::Status identifyStructure(drivekit::core::Device& drive, uint8_t cns, uint32_t nsid,
                                         drivekit::core::Payload& data);
// Sets "OCPSupported", "OCP1Point0OrGreater" and "OCP2Point0OrGreater" from what the drive
// answers: the OCP UUID in its UUID List (when it has one), its supported log pages and the
// SMART / Health Cloud page's version.
void probeOcp(drivekit::core::Device& drive, bool uuidList);

}  // namespace host::devices
