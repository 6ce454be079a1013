#pragma once
// The ATA SMARTReadData for drives whose SMART commands take the separate "SMART" path.
#include "drivekit/commands/ata/SMARTReadData.h"

namespace drivekit::commands::smart {

class SMARTReadData : public ata::SMARTReadData {
public:
    SMARTReadData();
};

}  // namespace drivekit::commands::smart
