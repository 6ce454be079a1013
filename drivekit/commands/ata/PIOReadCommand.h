#pragma once
// An ATA command that reads from the drive with programmed I/O.
#include "drivekit/commands/ata/Command.h"

namespace drivekit::commands::ata {

class PIOReadCommand : public Command {
public:
    explicit PIOReadCommand(std::string name = {});
};

}  // namespace drivekit::commands::ata
