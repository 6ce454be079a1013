#pragma once
#include "drivekit/commands/nvme/Command.h"

namespace drivekit::commands::nvme {

// An NVMe command without a data phase.
class GenericCommand : public Command {
public:
    explicit GenericCommand(std::string name = {});
};

}  // namespace drivekit::commands::nvme
