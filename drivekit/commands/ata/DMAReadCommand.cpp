#include "drivekit/commands/ata/DMAReadCommand.h"

namespace drivekit::commands::ata {

DMAReadCommand::DMAReadCommand(std::string name) : Command(std::move(name)) {
    flags().dataIn = true;
    flags().dma = true;
}

}  // namespace drivekit::commands::ata
