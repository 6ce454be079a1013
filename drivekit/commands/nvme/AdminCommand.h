#pragma once
// A free-form admin command, for example the vendor-specific exchange (0xF1 send, 0xF2 receive).
#include "drivekit/commands/nvme/GenericCommand.h"

namespace drivekit::commands::nvme {

enum class DataDirection { none, fromDrive, toDrive };

class AdminCommand : public GenericCommand {
public:
    AdminCommand();
    AdminCommand(uint8_t opcode, DataDirection direction, uint64_t transferBytes = 0);

    void setOpcode(uint8_t opcode) { entry().setOpcode(opcode); }
    // Exactly one of Data In, Data Out and Data None is set afterwards.
    void setDirection(DataDirection direction);
};

}  // namespace drivekit::commands::nvme
