#pragma once
// An ATA command without a data phase.
#include "drivekit/commands/ata/Command.h"

namespace drivekit::commands::ata {

class NonDataCommand : public Command {
public:
    explicit NonDataCommand(std::string name = {});
};

}  // namespace drivekit::commands::ata
