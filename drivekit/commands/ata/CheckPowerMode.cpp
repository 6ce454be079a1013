#include "drivekit/commands/ata/CheckPowerMode.h"

namespace drivekit::commands::ata {

CheckPowerMode::CheckPowerMode() : NonDataCommand("CheckPowerMode") {
    current().command = opcodes::checkPowerMode;
}

}  // namespace drivekit::commands::ata
