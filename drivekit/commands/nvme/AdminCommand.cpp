#include "drivekit/commands/nvme/AdminCommand.h"

namespace drivekit::commands::nvme {

AdminCommand::AdminCommand() : GenericCommand("AdminCommand") { flags().admin = true; }

AdminCommand::AdminCommand(uint8_t opcode, DataDirection direction, uint64_t bytes) : AdminCommand() {
    setOpcode(opcode);
    setDirection(direction);
    transferBytes = bytes;
}

void AdminCommand::setDirection(DataDirection direction) {
    flags().dataIn = direction == DataDirection::fromDrive;
    flags().dataOut = direction == DataDirection::toDrive;
    flags().dataNone = direction == DataDirection::none;
    flags().dataBi = false;
}

}  // namespace drivekit::commands::nvme
