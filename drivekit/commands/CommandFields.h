#pragma once
// A command as the package's manifest names it: its protocol, name and the fields that say
// what it read or set (an NVMe log page's LID, LSP, LSI and byte range; an Identify's CNS and
// NSID; a feature's id and value; an ATA command's registers).
#include "drivekit/core/Command.h"
#include "drivekit/core/CommandJournal.h"

namespace drivekit::commands {

// Status and time are left for the sender to fill.
core::CommandJournal::Command commandFields(const core::Command& command);

}  // namespace drivekit::commands
