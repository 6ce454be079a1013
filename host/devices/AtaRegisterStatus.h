#pragma once
// What the ATA registers after a command say about it, whichever way they came back (the sense
// data of SG_IO, the task file of the Windows pass-through).
#include "drivekit/commands/ata/TaskFile.h"
#include "drivekit/core/Status.h"

namespace host::devices {

// Success unless the Status register has ERR or DF set; then "ATA command aborted" with the
// Status and Error registers.
drivekit::core::Status ataRegisterStatus(const drivekit::commands::ata::TaskFile& registers);

}  // namespace host::devices
