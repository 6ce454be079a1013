#pragma once
// The ATA SMARTReadThresholds for drives whose SMART commands take the separate "SMART" path.
#include "drivekit/commands/ata/SMARTReadThresholds.h"

namespace drivekit::commands::smart {

class SMARTReadThresholds : public ata::SMARTReadThresholds {
public:
    SMARTReadThresholds();
};

}  // namespace drivekit::commands::smart
