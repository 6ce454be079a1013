#pragma once
// Get Log Page (opcode 0x02). The page comes back as the result's data.
#include "drivekit/commands/nvme/ReadCommand.h"
#include "drivekit/core/AttributeCollection.h"

namespace drivekit::commands::nvme {

class GetLogPage : public ReadCommand {
public:
    GetLogPage();

    // Dword 10 bits 7:0.
    void setLogId(uint8_t logId);
    // Dword 10 bits 14:8; only the low 7 bits of the value are used.
    void setLogSpecificField(uint8_t field);
    // Dword 10 bit 15.
    void setRetainAsynchronousEvent(bool retain);
    // Zero-based dword count: NUMDL (dword 10 bits 31:16) and NUMDU (dword 11 bits 15:0);
    // the transfer becomes (count + 1) * 4 bytes.
    void setNumDwords(uint32_t zeroBasedCount);
    // Dword 11 bits 31:16.
    void setLogSpecificId(uint16_t id);
    // LPOL in dword 12, LPOU in dword 13.
    void setLogPageOffset(uint64_t offset);
    // Dword 14 bits 6:0; only the low 7 bits of the value are used, the rest of dword 14 is kept.
    void setUuidIndex(uint8_t index);

    uint8_t logId() const;
    uint8_t logSpecificField() const;
    bool retainAsynchronousEvent() const;
    uint32_t numDwords() const;
    uint16_t logSpecificId() const;
    uint64_t logPageOffset() const;
    uint8_t uuidIndex() const;

    // Takes the get-log attributes that are present, in the order the fields are built
    // ("LogId", "NamespaceId", "NumDWORDs", "LogPageOffset", "LogSpecificField",
    // "LogSpecificId", "RetainAsynchronousEvent"), and the page's UUID index. A value wider
    // than its field is refused (0/40 naming it) and the fields after it are left alone.
    core::Status applyAttributes(const core::AttributeCollection& attributes, uint8_t uuidIndex);
};

}  // namespace drivekit::commands::nvme
