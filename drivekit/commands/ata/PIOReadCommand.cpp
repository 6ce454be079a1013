#include "drivekit/commands/ata/PIOReadCommand.h"

namespace drivekit::commands::ata {

PIOReadCommand::PIOReadCommand(std::string name) : Command(std::move(name)) {
    flags().dataIn = true;
}

}  // namespace drivekit::commands::ata
