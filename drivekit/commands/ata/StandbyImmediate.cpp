#include "drivekit/commands/ata/StandbyImmediate.h"

namespace drivekit::commands::ata {

StandbyImmediate::StandbyImmediate() : NonDataCommand("StandbyImmediate") {
    current().command = opcodes::standbyImmediate;
}

}  // namespace drivekit::commands::ata
