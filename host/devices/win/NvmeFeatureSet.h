#pragma once
// NVMe Set Features as the storage driver takes it: a protocol-specific property set, which
// carries the feature identifier and dwords 11 to 15, and the feature's data when it has some.
// The driver decides which features it passes on; the others it refuses.
#include <cstdint>
#include <vector>

#include "drivekit/commands/nvme/SubmissionEntry.h"
#include "drivekit/core/Payload.h"

namespace host::win_drives {

// The bytes sent for the command with length bytes of data taken from data (zero-filled past
// its end; none when length is 0). The output buffer is as large.
std::vector<uint8_t> encodeFeatureSet(const drivekit::commands::nvme::SubmissionEntry& entry, uint32_t length,
                                      const drivekit::core::Payload* data);

// The completion's dword 0 the driver hands back, 0 when its answer is too short to hold it:
// a set that the system did not refuse has been done, whatever else the answer says.
uint32_t featureSetReturnData(const std::vector<uint8_t>& output);

}  // namespace host::win_drives
