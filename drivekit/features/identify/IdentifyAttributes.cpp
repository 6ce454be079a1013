#include "drivekit/features/identify/IdentifyAttributes.h"

namespace drivekit::features::identify {

core::Attribute csi() { return core::Attribute("CSI", "Command Set Identifier", core::types::uint8); }

}  // namespace drivekit::features::identify
