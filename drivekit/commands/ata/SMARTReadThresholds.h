#pragma once
// SMART READ THRESHOLDS: the 512-byte SMART thresholds sector.
#include "drivekit/commands/ata/PIOReadCommand.h"

namespace drivekit::commands::ata {

class SMARTReadThresholds : public PIOReadCommand {
public:
    SMARTReadThresholds();
};

}  // namespace drivekit::commands::ata
