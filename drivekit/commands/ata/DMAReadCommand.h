#pragma once
// An ATA command that reads from the drive with DMA.
#include "drivekit/commands/ata/Command.h"

namespace drivekit::commands::ata {

class DMAReadCommand : public Command {
public:
    explicit DMAReadCommand(std::string name = {});
};

}  // namespace drivekit::commands::ata
