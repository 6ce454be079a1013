#pragma once
#include "drivekit/commands/nvme/Command.h"

namespace drivekit::commands::nvme {

// An NVMe command whose data flows from the drive to the host.
class ReadCommand : public Command {
public:
    explicit ReadCommand(std::string name = {});
};

}  // namespace drivekit::commands::nvme
