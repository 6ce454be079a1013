#pragma once
// The status of a command sent to a drive whose device node has gone away (pulled, reset, or
// unbound from its driver). Real and simulated drives give the same one, so that callers can
// recognise it whichever drive they talk to.
#include <string>

#include "drivekit/core/Status.h"

namespace host::devices {

// "<path> is gone (<cause>) while <what>."
drivekit::core::Status goneDeviceStatus(const std::string& path, const std::string& cause, const std::string& what);

}  // namespace host::devices
