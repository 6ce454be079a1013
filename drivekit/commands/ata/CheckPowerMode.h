#pragma once
// CHECK POWER MODE; the drive answers in the Sector Count register.
#include "drivekit/commands/ata/NonDataCommand.h"

namespace drivekit::commands::ata {

class CheckPowerMode : public NonDataCommand {
public:
    CheckPowerMode();
};

}  // namespace drivekit::commands::ata
