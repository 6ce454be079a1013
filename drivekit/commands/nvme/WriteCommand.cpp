#include "drivekit/commands/nvme/WriteCommand.h"

namespace drivekit::commands::nvme {

WriteCommand::WriteCommand(std::string name) : Command(std::move(name)) { flags().dataOut = true; }

}  // namespace drivekit::commands::nvme
