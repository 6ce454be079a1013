#pragma once
// The simulated drive's answers carry the completion status every NVMe layer uses.
#include "drivekit/commands/nvme/CompletionStatus.h"

namespace host::sim {

using SimNvmeStatus = drivekit::commands::nvme::CompletionStatus;

}  // namespace host::sim
