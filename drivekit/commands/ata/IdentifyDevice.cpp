#include "drivekit/commands/ata/IdentifyDevice.h"

namespace drivekit::commands::ata {

IdentifyDevice::IdentifyDevice() : PIOReadCommand("IdentifyDevice") {
    current().command = opcodes::identifyDevice;
    current().sectorCount = 1;
    transferBlocks = 1;
}

}  // namespace drivekit::commands::ata
