#include "drivekit/commands/ata/SMARTExecuteOfflineImmediate.h"

namespace drivekit::commands::ata {

SMARTExecuteOfflineImmediate::SMARTExecuteOfflineImmediate(uint8_t subcommand)
    : NonDataCommand("SMARTExecuteOfflineImmediate") {
    current().command = opcodes::smart;
    current().feature = smartFeatures::executeOfflineImmediate;
    current().lbaLow = subcommand;
    current().lbaMid = smartFeatures::signatureMid;
    current().lbaHigh = smartFeatures::signatureHigh;
}

}  // namespace drivekit::commands::ata
