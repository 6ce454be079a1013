#include "drivekit/commands/nvme/GenericCommand.h"

namespace drivekit::commands::nvme {

GenericCommand::GenericCommand(std::string name) : Command(std::move(name)) {
    flags().dataNone = true;
}

}  // namespace drivekit::commands::nvme
