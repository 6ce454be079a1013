#pragma once
// READ DMA of one 512-byte sector with a 28-bit LBA (sector 0 unless set).
#include "drivekit/commands/ata/DMAReadCommand.h"

namespace drivekit::commands::ata {

class ReadDMA : public DMAReadCommand {
public:
    ReadDMA();
    // Places a 28-bit LBA in LBA Low, Mid, High and the low nibble of Device.
    void setLba(uint32_t lba);
};

}  // namespace drivekit::commands::ata
