#pragma once
// What a host reads from a drive's Identify data to fill its attributes: the Identify
// Controller structure of an NVMe controller and the IDENTIFY DEVICE sector of an ATA disk.
#include <cstddef>
#include <cstdint>
#include <string>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/Payload.h"

namespace host::devices {

#pragma pack(push, 1)
// The start of the Identify Controller structure, up to the Error Log Page Entries.
struct IdentifyControllerHead {
    uint16_t vid;
    uint16_t ssvid;
    char sn[20];
    char mn[40];
    char fr[8];
    uint8_t rab;
    uint8_t ieee[3];
    uint8_t cmic;
    uint8_t mdts;
    uint16_t cntlid;
    uint32_t ver;
    uint32_t rtd3r;
    uint32_t rtd3e;
    uint32_t oaes;
    uint32_t ctratt;
    uint8_t reserved100[156];
    uint16_t oacs;
    uint8_t acl;
    uint8_t aerl;
    uint8_t frmw;
    uint8_t lpa;
    uint8_t elpe;
};
#pragma pack(pop)
static_assert(offsetof(IdentifyControllerHead, mdts) == 77, "MDTS is byte 77");
static_assert(offsetof(IdentifyControllerHead, ver) == 80, "VER is bytes 83:80");
static_assert(offsetof(IdentifyControllerHead, ctratt) == 96, "CTRATT is bytes 99:96");
static_assert(offsetof(IdentifyControllerHead, oacs) == 256, "OACS is bytes 257:256");
static_assert(offsetof(IdentifyControllerHead, lpa) == 261, "LPA is byte 261");
static_assert(sizeof(IdentifyControllerHead) == 263, "the head ends with ELPE, byte 262");

struct NvmeControllerFacts {
    uint16_t pciVendorId = 0;
    std::string serialNumber;
    std::string modelNumber;
    std::string firmware;
    uint8_t mdts = 0;  // 0: no limit
    uint16_t majorVersion = 0;
    uint8_t minorVersion = 0;
    bool uuidList = false;             // CTRATT bit 9
    bool namespaceManagement = false;  // OACS bit 3
    bool telemetry = false;            // LPA bit 3
    uint8_t errorLogEntries = 0;       // ELPE, zero-based

    // False when data is shorter than the structure's head.
    static bool read(const drivekit::core::Payload& data, NvmeControllerFacts& facts);
    // The version as the flags compare it; controllers before 1.2 may report 0 (taken as 1.0).
    bool atLeast(uint16_t major, uint8_t minor) const;
    // The attributes these facts decide, with the transfer-size exponent the host may use.
    void writeAttributes(drivekit::core::AttributeCollection& out, uint8_t maxTransferShift) const;
};

struct AtaIdentifyFacts {
    std::string serialNumber;
    std::string modelNumber;
    std::string firmware;
    bool smartSupported = false;  // word 82 bit 0
    bool smartEnabled = false;    // word 85 bit 0
    // Words 117-118 (in words) when word 106 is valid and bit 12 says sectors are longer than
    // 256 words; 512 otherwise.
    uint32_t logicalSectorBytes = 512;

    // False when data is shorter than one sector or the sector is not valid IDENTIFY data.
    static bool read(const drivekit::core::Payload& data, AtaIdentifyFacts& facts);
};

// The transfer-size exponent (4096 << n bytes) a host may use: the smaller of the
// controller's MDTS (0: no limit) and what the kernel takes in one command (0: unknown).
// 0 when neither limits it.
uint8_t transferShift(uint8_t mdts, uint64_t kernelMaxBytes);

}  // namespace host::devices
