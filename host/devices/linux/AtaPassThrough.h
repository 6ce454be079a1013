#pragma once
// The SCSI/ATA Translation's ATA PASS-THROUGH (16) command and what comes back in its sense
// data: how an ATA command reaches a disk behind libata through SG_IO.
#include <array>
#include <cstdint>
#include <optional>

#include "drivekit/commands/ata/Command.h"

namespace host::linux_drives {

using Cdb16 = std::array<uint8_t, 16>;

// The 16-byte CDB of the command: protocol from its flags (non-data, PIO data-in or
// data-out, DMA, device diagnostic), the length in sectors of the Sector Count field (logical
// sectors for the commands that count them, 512-byte units otherwise), and
// the task files (the previous one only for a 48-bit command); a data command whose Sector
// Count is 0 gets its transfer length there. Non-data commands ask for the
// registers back (CK_COND), as CHECK POWER MODE answers in them.
Cdb16 ataPassThroughCdb(const drivekit::commands::ata::Command& command);

// What the sense data says about the command.
struct AtaSense {
    uint8_t senseKey = 0;
    uint8_t asc = 0;
    uint8_t ascq = 0;
    // The ATA registers after the command (Error in feature, Status in command), when the
    // sense data carries them (the ATA Status Return descriptor, or a fixed-format sense).
    std::optional<drivekit::commands::ata::TaskFile> registers;
};

// Reads descriptor-format (0x72/0x73) and fixed-format (0x70/0x71) sense data; nothing
// when the bytes are none of them or too short. length is what the kernel wrote.
std::optional<AtaSense> decodeAtaSense(const uint8_t* sense, std::size_t length);

}  // namespace host::linux_drives
