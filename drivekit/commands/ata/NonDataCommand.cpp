#include "drivekit/commands/ata/NonDataCommand.h"

namespace drivekit::commands::ata {

NonDataCommand::NonDataCommand(std::string name) : Command(std::move(name)) {
    flags().dataNone = true;
    transferBlocks = 0;
}

}  // namespace drivekit::commands::ata
