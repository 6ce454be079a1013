#include "drivekit/commands/nvme/ReadCommand.h"

namespace drivekit::commands::nvme {

ReadCommand::ReadCommand(std::string name) : Command(std::move(name)) { flags().dataIn = true; }

}  // namespace drivekit::commands::nvme
