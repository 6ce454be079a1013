#include "drivekit/commands/ata/SMARTReadData.h"

namespace drivekit::commands::ata {

SMARTReadData::SMARTReadData() : PIOReadCommand("SMARTReadData") {
    current().command = opcodes::smart;
    current().feature = smartFeatures::readData;
    current().lbaMid = smartFeatures::signatureMid;
    current().lbaHigh = smartFeatures::signatureHigh;
    transferBlocks = 1;
}

}  // namespace drivekit::commands::ata
