#pragma once
// What an ATA disk's commands need to know of the disk, whichever way they reach it: whether
// SMART commands may take the separate "SMART" path, and how many bytes each command moves.
#include <algorithm>
#include <cstdint>
#include <string>

#include "drivekit/commands/ata/Command.h"
#include "drivekit/core/Status.h"

namespace host::devices {

class AtaDisk {
public:
    // The unit of IDENTIFY, SMART and log transfers, and the logical sector of most disks.
    static constexpr uint32_t sectorSize = 512;

    // Whether SMART commands take the separate "SMART" path (IDENTIFY DEVICE says SMART is
    // supported).
    void setSmartSupported(bool supported) { smartSupported_ = supported; }
    // The disk's logical sector size (4096 on a 4Kn disk): what one sector of a read or write
    // of the medium moves. Values below 512 are taken as 512.
    void setLogicalSectorBytes(uint32_t bytes) { logicalSectorBytes_ = std::max(bytes, sectorSize); }

    // "ATA", and "SMART" when the disk supports it.
    bool speaks(const std::string& protocol) const;
    // The bytes command moves (0 for a non-data command). Fails for a command on the SMART path
    // that is not a SMART command, and for a transfer longer than one request can carry
    // (limit bytes).
    drivekit::core::Status transferLength(const drivekit::commands::ata::Command& command, const std::string& protocol,
                                          uint64_t limit, uint64_t& length) const;

private:
    bool smartSupported_ = false;
    uint32_t logicalSectorBytes_ = sectorSize;
};

// Whether the command's Sector Count counts the disk's logical sectors (the reads and writes of
// the medium) rather than 512-byte units (IDENTIFY, SMART, logs). On a 4Kn disk the two differ.
bool movesLogicalSectors(const drivekit::commands::ata::Command& command);

}  // namespace host::devices
