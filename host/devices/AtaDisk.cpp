#include "host/devices/AtaDisk.h"

#include <iterator>

#include "drivekit/core/HostInterface.h"

namespace host::devices {

namespace core = drivekit::core;
namespace ata = drivekit::commands::ata;

namespace {

// READ/WRITE SECTORS (and EXT), READ/WRITE DMA (and EXT), READ/WRITE FPDMA QUEUED.
constexpr uint8_t mediumAccessOpcodes[] = {0x20, 0x24, 0x25, 0x30, 0x34, 0x35, 0x60, 0x61, 0xC8, 0xCA};

}  // namespace

bool AtaDisk::speaks(const std::string& protocol) const {
    return protocol == core::protocols::ata || (protocol == core::protocols::smart && smartSupported_);
}

core::Status AtaDisk::transferLength(const ata::Command& command, const std::string& protocol, uint64_t limit,
                                     uint64_t& length) const {
    length = 0;
    // The separate SMART path carries SMART commands only.
    if (protocol == core::protocols::smart && command.current().command != ata::opcodes::smart) {
        return core::Status::commandSetNotSupported();
    }
    const ata::CommandFlags& flags = command.flags();
    const bool moves = (flags.dataIn || flags.dataOut) && !flags.dataNone;
    const uint64_t blockBytes = movesLogicalSectors(command) ? logicalSectorBytes_ : sectorSize;
    length = moves ? uint64_t{command.transferBlocks} * blockBytes : 0;
    return length > limit ? core::Status::invalidArguments() : core::Status::success();
}

bool movesLogicalSectors(const ata::Command& command) {
    const uint8_t opcode = command.current().command;
    return std::find(std::begin(mediumAccessOpcodes), std::end(mediumAccessOpcodes), opcode) !=
           std::end(mediumAccessOpcodes);
}

}  // namespace host::devices
