#pragma once
// SMART READ DATA: the 512-byte SMART data sector.
#include "drivekit/commands/ata/PIOReadCommand.h"

namespace drivekit::commands::ata {

class SMARTReadData : public PIOReadCommand {
public:
    SMARTReadData();
};

}  // namespace drivekit::commands::ata
