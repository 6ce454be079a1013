#include "drivekit/commands/ata/SMARTReadThresholds.h"

namespace drivekit::commands::ata {

SMARTReadThresholds::SMARTReadThresholds() : PIOReadCommand("SMARTReadThresholds") {
    current().command = opcodes::smart;
    current().feature = smartFeatures::readThresholds;
    current().lbaMid = smartFeatures::signatureMid;
    current().lbaHigh = smartFeatures::signatureHigh;
    transferBlocks = 1;
}

}  // namespace drivekit::commands::ata
