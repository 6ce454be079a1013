#pragma once
// The parameter that only Identify takes beside the shared definitions.
#include "drivekit/core/Attribute.h"

namespace drivekit::features::identify {

// "CSI", the command set an I/O Command Set specific structure is asked for (8 bits).
core::Attribute csi();

}  // namespace drivekit::features::identify
