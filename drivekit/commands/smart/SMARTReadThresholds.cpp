#include "drivekit/commands/smart/SMARTReadThresholds.h"

namespace drivekit::commands::smart {

SMARTReadThresholds::SMARTReadThresholds() { setProtocol(core::protocols::smart); }

}  // namespace drivekit::commands::smart
