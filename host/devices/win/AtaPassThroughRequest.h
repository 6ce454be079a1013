#pragma once
// An ATA command as the storage driver's ATA pass-through takes it: the request structure with
// the data buffer right after it, in one buffer that goes in and comes back.
#include <cstdint>
#include <vector>

#include "drivekit/commands/ata/Command.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"

namespace host::win_drives {

// The request for command moving length bytes (0 for a non-data command) within timeoutSeconds;
// the data of a data-out command is taken from dataOut, zero-filled past its end. The output
// buffer is as large.
std::vector<uint8_t> encodeAtaPassThrough(const drivekit::commands::ata::Command& command, uint32_t length,
                                          uint32_t timeoutSeconds, const drivekit::core::Payload* dataOut);

// What came back: the registers after the command, and for a data-in command its data.
struct AtaAnswer {
    drivekit::commands::ata::TaskFile registers{};
    drivekit::core::Payload data;
};

// Reads the answer to a command of length bytes. A short answer (no room for the request's
// structure, or less data than the driver says it moved) fails; otherwise the registers decide,
// as they do on every platform.
drivekit::core::Status decodeAtaPassThrough(const std::vector<uint8_t>& output, uint32_t length, bool dataIn,
                                            AtaAnswer& answer);

}  // namespace host::win_drives
