#include "drivekit/commands/ata/ReadDMA.h"

namespace drivekit::commands::ata {

ReadDMA::ReadDMA() : DMAReadCommand("ReadDMA") {
    current().command = opcodes::readDma;
    current().sectorCount = 1;
    setLba(0);
    transferBlocks = 1;
}

void ReadDMA::setLba(uint32_t lba) {
    current().lbaLow = static_cast<uint8_t>(lba);
    current().lbaMid = static_cast<uint8_t>(lba >> 8);
    current().lbaHigh = static_cast<uint8_t>(lba >> 16);
    // LBA bits 27:24 share the Device register with the addressing-mode bits.
    current().device = static_cast<uint8_t>((current().device & 0xF0) | ((lba >> 24) & 0x0F));
}

}  // namespace drivekit::commands::ata
