#pragma once
// IDENTIFY DEVICE: one 512-byte sector of identify data.
#include "drivekit/commands/ata/PIOReadCommand.h"

namespace drivekit::commands::ata {

class IdentifyDevice : public PIOReadCommand {
public:
    IdentifyDevice();
};

}  // namespace drivekit::commands::ata
