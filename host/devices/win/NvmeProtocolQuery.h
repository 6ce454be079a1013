#pragma once
// NVMe Identify, Get Log Page and Get Features as the storage driver takes them: a
// protocol-specific property query, answered with a protocol data descriptor that says where in
// the answer the data lies.
#include <cstdint>
#include <optional>
#include <vector>

#include "drivekit/commands/nvme/SubmissionEntry.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "host/devices/win/StorageLayouts.h"

namespace host::win_drives {

struct NvmeProtocolQuery {
    StorageProperty property = StorageProperty::adapterProtocolSpecific;
    NvmeDataType dataType = NvmeDataType::unknown;
    uint32_t requestValue = 0;
    uint32_t requestSubValue = 0;
    uint32_t requestSubValue2 = 0;
    uint32_t requestSubValue3 = 0;
    uint32_t requestSubValue4 = 0;
    // The bytes asked for.
    uint32_t dataLength = 0;
};

// The query an admin command becomes, when the driver can carry it: Identify (one 4 KiB
// structure, the namespace structure asked of the disk's own namespace), Get Log Page (with
// its offset, LSP, LSI, RAE and UUID index) and Get Features of length bytes. Nothing for
// other commands or for fields the query cannot carry (a controller identifier, a command set,
// an LSP above 15): those go as protocol commands or not at all.
std::optional<NvmeProtocolQuery> nvmeProtocolQuery(const drivekit::commands::nvme::SubmissionEntry& entry,
                                                   uint32_t length);

// The bytes sent: the query's head, the protocol-specific data and room for the answer's data.
// The output buffer is as large.
std::vector<uint8_t> encodeProtocolQuery(const NvmeProtocolQuery& query);

// What came back: the data and the fixed return data (Get Features' value).
struct ProtocolAnswer {
    drivekit::core::Payload data;
    uint32_t fixedReturnData = 0;
};

// Reads the answer to query. The descriptor's data offset and length are checked against the
// bytes returned and the length asked: data outside them is a failed answer, never read.
drivekit::core::Status decodeProtocolAnswer(const std::vector<uint8_t>& output, const NvmeProtocolQuery& query,
                                            ProtocolAnswer& answer);

}  // namespace host::win_drives
