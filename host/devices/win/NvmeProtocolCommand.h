#pragma once
// Any NVMe admin command (the maker's own among them) as the storage driver's protocol command
// takes it: the request's head, the 64-byte command and the data, in one buffer that goes in and
// comes back.
#include <cstdint>
#include <vector>

#include "drivekit/commands/nvme/SubmissionEntry.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "host/devices/win/NvmeProtocolQuery.h"

namespace host::win_drives {

// Which way the command's data goes, and how many bytes.
struct ProtocolTransfer {
    bool dataIn = false;
    bool dataOut = false;
    uint32_t length = 0;
};

// The request for entry; a data-out command's bytes come from dataOut, zero-filled past its end.
// The output buffer is as large.
std::vector<uint8_t> encodeProtocolCommand(const drivekit::commands::nvme::SubmissionEntry& entry,
                                           const ProtocolTransfer& transfer, uint32_t timeoutSeconds,
                                           const drivekit::core::Payload* dataOut);

// Reads the answer: the driver's return status (anything but success fails, with its error
// code), the completion's dword 0, and for a data-in command the data where the answer says it
// lies, checked against the bytes returned and the length asked.
drivekit::core::Status decodeProtocolCommand(const std::vector<uint8_t>& output, const ProtocolTransfer& transfer,
                                             ProtocolAnswer& answer);

}  // namespace host::win_drives
