#pragma once
// SMART EXECUTE OFF-LINE IMMEDIATE; the sub-command travels in LBA Low.
#include "drivekit/commands/ata/NonDataCommand.h"

namespace drivekit::commands::ata {

class SMARTExecuteOfflineImmediate : public NonDataCommand {
public:
    explicit SMARTExecuteOfflineImmediate(uint8_t subcommand);
};

}  // namespace drivekit::commands::ata
