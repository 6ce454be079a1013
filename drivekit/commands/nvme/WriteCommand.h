#pragma once
#include "drivekit/commands/nvme/Command.h"

namespace drivekit::commands::nvme {

// An NVMe command whose data flows from the host to the drive.
class WriteCommand : public Command {
public:
    explicit WriteCommand(std::string name = {});
};

}  // namespace drivekit::commands::nvme
