#include "host/devices/linux/AtaPassThrough.h"

#include "host/devices/AtaDisk.h"

namespace host::linux_drives {

namespace ata = drivekit::commands::ata;

namespace {

constexpr uint8_t ataPassThrough16 = 0x85;

// The PROTOCOL field of the CDB.
enum Protocol : uint8_t { nonData = 3, pioDataIn = 4, pioDataOut = 5, dma = 6, deviceDiagnostic = 8 };

uint8_t protocolOf(const ata::CommandFlags& flags) {
    if (flags.deviceDiagnostic) {
        return deviceDiagnostic;
    }
    if (flags.dataNone || (!flags.dataIn && !flags.dataOut)) {
        return nonData;
    }
    if (flags.dma) {
        return dma;
    }
    return flags.dataIn ? pioDataIn : pioDataOut;
}

// CDB byte 2.
constexpr uint8_t checkCondition = 0x20;
constexpr uint8_t transferFromDevice = 0x08;
constexpr uint8_t lengthInBlocks = 0x04;
constexpr uint8_t lengthInSectorCount = 0x02;
// T_TYPE: the blocks counted are the disk's logical sectors, not 512-byte units.
constexpr uint8_t lengthInLogicalSectors = 0x10;

// Device register bit 6 selects LBA addressing; only commands that address sectors carry it
// (the ATA command set marks it obsolete or reserved for SMART, IDENTIFY and power commands).
constexpr uint8_t lbaBit = 0x40;

constexpr uint8_t ataStatusReturnDescriptor = 0x09;

}  // namespace

Cdb16 ataPassThroughCdb(const ata::Command& command) {
    const ata::CommandFlags& flags = command.flags();
    const ata::TaskFile& now = command.current();
    const ata::TaskFile& before = command.previous();
    const uint8_t protocol = protocolOf(flags);
    Cdb16 cdb{};
    cdb[0] = ataPassThrough16;
    cdb[1] = static_cast<uint8_t>((protocol << 1) | (flags.extended ? 1 : 0));
    if (protocol == nonData) {
        cdb[2] = checkCondition;
    } else {
        cdb[2] = static_cast<uint8_t>(lengthInBlocks | lengthInSectorCount | (flags.dataIn ? transferFromDevice : 0) |
                                      (devices::movesLogicalSectors(command) ? lengthInLogicalSectors : 0));
    }
    if (flags.extended) {
        cdb[3] = before.feature;
        cdb[5] = before.sectorCount;
        cdb[7] = before.lbaLow;
        cdb[9] = before.lbaMid;
        cdb[11] = before.lbaHigh;
    }
    cdb[4] = now.feature;
    cdb[6] = now.sectorCount;
    // The CDB says that the transfer length is in the Sector Count field. Commands for which
    // the field means nothing (SMART READ DATA) leave it 0, which would stand for 256 sectors
    // there: they get their transfer length in blocks instead, as the ATA standard's own
    // tools send them.
    if (protocol != nonData && now.sectorCount == 0 && (!flags.extended || before.sectorCount == 0)) {
        cdb[6] = static_cast<uint8_t>(command.transferBlocks);
        if (flags.extended) {
            cdb[5] = static_cast<uint8_t>(command.transferBlocks >> 8);
        }
    }
    cdb[8] = now.lbaLow;
    cdb[10] = now.lbaMid;
    cdb[12] = now.lbaHigh;
    cdb[13] = flags.dma ? now.device : static_cast<uint8_t>(now.device & ~lbaBit);
    cdb[14] = now.command;
    return cdb;
}

std::optional<AtaSense> decodeAtaSense(const uint8_t* sense, std::size_t length) {
    if (sense == nullptr || length < 8) {
        return std::nullopt;
    }
    const uint8_t responseCode = sense[0] & 0x7F;
    AtaSense decoded;
    if (responseCode == 0x72 || responseCode == 0x73) {
        decoded.senseKey = sense[1] & 0x0F;
        decoded.asc = sense[2];
        decoded.ascq = sense[3];
        // Descriptors follow the header, within the additional length and what was written.
        const std::size_t end = std::min<std::size_t>(length, std::size_t{8} + sense[7]);
        for (std::size_t at = 8; at + 2 <= end; at += std::size_t{2} + sense[at + 1]) {
            if (sense[at] == ataStatusReturnDescriptor && sense[at + 1] >= 12 && at + 14 <= end) {
                const uint8_t* d = sense + at;
                decoded.registers = ata::TaskFile{d[3], d[5], d[7], d[9], d[11], d[12], d[13], 0};
                break;
            }
        }
        return decoded;
    }
    if (responseCode == 0x70 || responseCode == 0x71) {
        if (length < 14) {
            return std::nullopt;
        }
        decoded.senseKey = sense[2] & 0x0F;
        decoded.asc = sense[12];
        decoded.ascq = sense[13];
        // The INFORMATION field holds Error, Status, Device and Sector Count; the
        // COMMAND-SPECIFIC INFORMATION field the LBA bytes.
        decoded.registers = ata::TaskFile{sense[3], sense[6], sense[9], sense[10], sense[11], sense[5], sense[4], 0};
        return decoded;
    }
    return std::nullopt;
}

}  // namespace host::linux_drives
