#include "drivekit/commands/smart/SMARTReadData.h"

namespace drivekit::commands::smart {

SMARTReadData::SMARTReadData() { setProtocol(core::protocols::smart); }

}  // namespace drivekit::commands::smart
