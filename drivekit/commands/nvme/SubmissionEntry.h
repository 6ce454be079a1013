#pragma once
// The 64-byte NVMe submission-queue entry, little-endian, as the controller receives it.
#include <cstdint>

namespace drivekit::commands::nvme {

#pragma pack(push, 1)
struct SubmissionEntry {
    uint32_t cdw0;   // OPC 7:0, FUSE 9:8, reserved 13:10, PSDT 15:14, CID 31:16
    uint32_t nsid;   // dword 1
    uint32_t cdw2;   // reserved
    uint32_t cdw3;   // reserved
    uint64_t mptr;   // dwords 4-5, metadata pointer
    uint64_t prp1;   // dwords 6-7
    uint64_t prp2;   // dwords 8-9
    uint32_t cdw10;
    uint32_t cdw11;
    uint32_t cdw12;
    uint32_t cdw13;
    uint32_t cdw14;
    uint32_t cdw15;

    uint8_t opcode() const { return static_cast<uint8_t>(cdw0 & 0xFF); }
    void setOpcode(uint8_t opcode) { cdw0 = (cdw0 & ~0xFFu) | opcode; }
};
#pragma pack(pop)
static_assert(sizeof(SubmissionEntry) == 64, "NVMe submission entry is 64 bytes");

// The 16-byte completion-queue entry; a device returns it as the protocol result.
#pragma pack(push, 1)
struct CompletionEntry {
    uint32_t dw0;  // command specific (the value of Get/Set Features)
    uint32_t dw1;
    uint16_t sqHead;
    uint16_t sqId;
    uint16_t cid;
    uint16_t status;  // phase bit 0, status code 8:1, status code type 11:9, more 14, DNR 15
};
#pragma pack(pop)
static_assert(sizeof(CompletionEntry) == 16, "NVMe completion entry is 16 bytes");

namespace opcodes {
constexpr uint8_t getLogPage = 0x02;
constexpr uint8_t identify = 0x06;
constexpr uint8_t setFeatures = 0x09;
constexpr uint8_t getFeatures = 0x0A;
constexpr uint8_t vendorSend = 0xF1;
constexpr uint8_t vendorReceive = 0xF2;
}  // namespace opcodes

}  // namespace drivekit::commands::nvme
