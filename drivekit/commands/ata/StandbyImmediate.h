#pragma once
// STANDBY IMMEDIATE.
#include "drivekit/commands/ata/NonDataCommand.h"

namespace drivekit::commands::ata {

class StandbyImmediate : public NonDataCommand {
public:
    StandbyImmediate();
};

}  // namespace drivekit::commands::ata
