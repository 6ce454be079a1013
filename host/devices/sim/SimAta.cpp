#include "host/devices/sim/SimAta.h"

#include <algorithm>

#include "drivekit/features/PackageFileNames.h"
#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"

namespace host::sim {

namespace ata = drivekit::commands::ata;

namespace {

constexpr uint32_t smartEntries = 30;
constexpr uint32_t smartEntrySize = 12;
constexpr uint8_t powerModeActive = 0xFF;
constexpr uint8_t powerModeStandby = 0x00;

void sealSector(SimBytes& sector) {
    sector.u8(511, 0);
    sector.u8(511, SimAta::checksumFor(sector.payload().data()));
}

// A SMART sector with the revision word and one 12-byte entry per attribute (at most 30),
// each filled by fill(sector, entry offset, attribute).
template <typename Fill>
SimBytes smartSector(const SimProfile& profile, Fill fill) {
    SimBytes sector(SimAta::sectorSize);
    sector.u16(0, 0x0010);  // revision
    uint32_t index = 0;
    for (const auto& attribute : profile.smartAttributes) {
        if (index == smartEntries) {
            break;
        }
        fill(sector, 2 + index++ * smartEntrySize, attribute);
    }
    return sector;
}

// The sector kept under key, built by make on first use; later reads share it.
template <typename Make>
const drivekit::core::Payload& keptSector(SimDriveState& state, uint8_t key, Make make) {
    auto& slot = state.ataSectors[key];
    if (slot.empty()) {
        slot = make();
    }
    return slot;
}

bool smartSignature(const ata::TaskFile& registers) {
    return registers.lbaMid == ata::smartFeatures::signatureMid &&
           registers.lbaHigh == ata::smartFeatures::signatureHigh;
}

}  // namespace

uint8_t SimAta::checksumFor(const uint8_t* sector) {
    uint8_t sum = 0;
    for (uint32_t i = 0; i < sectorSize - 1; ++i) {
        sum = static_cast<uint8_t>(sum + sector[i]);
    }
    return static_cast<uint8_t>(0x100 - sum);
}

drivekit::core::Payload SimAta::identifyDevice(const SimProfile& profile) {
    const auto& attributes = profile.attributes;
    const uint64_t blocks = profile.ataCapacityBlocks;
    SimBytes data(sectorSize);
    data.u16(0, 0x0040);  // fixed device
    data.ataString(20, 20, attributes.readString(definitions::serialNumber().key()));
    data.ataString(46, 8, attributes.readString(definitions::firmware().key()));
    data.ataString(54, 40, attributes.readString(definitions::modelNumber().key()));
    data.u16(94, 0x8001);           // 1 sector per DRQ block
    data.u16(98, 0x0F00);           // LBA, DMA, IORDY
    data.u32(120, std::min<uint64_t>(blocks, 0x0FFFFFFF));  // 28-bit addressable sectors
    data.u16(160, 0x01F0);          // major versions ATA/ATAPI-4 to ATA8-ACS
    data.u16(164, 0x7469);          // command sets supported: SMART (bit 0) among others
    data.u16(166, 0x7D01 | 0x0400);  // 48-bit addressing (bit 10)
    data.u16(168, 0x4163);
    const bool smartOn = attributes.readBool(definitions::smartEnabled().key());
    data.u16(170, 0x7468 | (smartOn ? 1u : 0u));  // SMART enabled (bit 0)
    data.u16(172, 0xBC01 | 0x0400);
    data.u16(174, 0x4163);
    data.u64(200, blocks);          // 48-bit addressable sectors
    data.u16(434, 0x0001);          // non-rotating medium
    data.u16(510, 0x00A5);          // integrity word signature
    data.u8(511, checksumFor(data.payload().data()));
    return data.payload();
}

drivekit::core::Payload SimAta::smartData(const SimProfile& profile, const SimDriveState& state) {
    SimBytes data = smartSector(profile, [](SimBytes& sector, uint32_t base, const SimSmartAttribute& attribute) {
        sector.u8(base, attribute.id);
        sector.u16(base + 1, attribute.flags);
        sector.u8(base + 3, attribute.value);
        sector.u8(base + 4, attribute.worst);
        sector.u32(base + 5, attribute.raw & 0xFFFFFFFF);
        sector.u16(base + 9, (attribute.raw >> 32) & 0xFFFF);
    });
    data.u8(362, state.offlineStatus);
    data.u8(363, 0x00);    // last self-test completed without error
    data.u16(364, 120);    // seconds to complete off-line collection
    data.u8(367, 0x5B);    // off-line capabilities: immediate, self-tests, conveyance
    data.u16(368, 0x0003);  // saves data on power-saving entry, autosave
    data.u8(370, 0x01);    // error logging supported
    data.u8(372, 2);       // short self-test minutes
    data.u8(373, 30);      // extended self-test minutes
    sealSector(data);
    return data.payload();
}

drivekit::core::Payload SimAta::smartThresholds(const SimProfile& profile) {
    SimBytes data = smartSector(profile, [](SimBytes& sector, uint32_t base, const SimSmartAttribute& attribute) {
        sector.u8(base, attribute.id);
        sector.u8(base + 1, attribute.threshold);
    });
    sealSector(data);
    return data.payload();
}

SimResponse SimAta::execute(const SimProfile& profile, const ata::TaskFile& registers, SimDriveState& state,
                            SimReplay& replay) {
    // A package holds no IDENTIFY DEVICE sector.
    if (replay.answersAlone() && registers.command == ata::opcodes::identifyDevice) {
        return SimResponse::ataAbort();
    }
    switch (registers.command) {
        case ata::opcodes::identifyDevice:
            return SimResponse::withData(
                keptSector(state, ata::opcodes::identifyDevice, [&] { return identifyDevice(profile); }));
        case ata::opcodes::checkPowerMode: {
            SimResponse response;
            response.ataOutput.sectorCount = state.standby ? powerModeStandby : powerModeActive;
            return response;
        }
        case ata::opcodes::standbyImmediate:
            state.standby = true;
            return {};
        case ata::opcodes::readDma: {
            // Any access wakes the drive; the media of a fresh drive reads as zeros.
            state.standby = false;
            const uint32_t lba = registers.lbaLow | (registers.lbaMid << 8) | (registers.lbaHigh << 16) |
                                 ((registers.device & 0x0Fu) << 24);
            const uint32_t count = registers.sectorCount == 0 ? 256 : registers.sectorCount;
            if (static_cast<uint64_t>(lba) + count > profile.ataCapacityBlocks) {
                SimResponse response = SimResponse::ataAbort();
                response.ataOutput.feature = 0x10;  // ID not found
                return response;
            }
            return SimResponse::withData(SimBytes(static_cast<uint64_t>(count) * sectorSize).payload());
        }
        case ata::opcodes::smart:
            break;
        default:
            return SimResponse::ataAbort();
    }
    if (!smartSignature(registers)) {
        return SimResponse::ataAbort();
    }
    // A drive with SMART disabled aborts every SMART command it knows.
    if (!profile.attributes.readBool(definitions::smartEnabled().key())) {
        return SimResponse::ataAbort();
    }
    switch (registers.feature) {
        case ata::smartFeatures::readData:
            // The replay file is read as it stands; the built sector is dropped whenever an
            // off-line collection changes its status byte.
            if (auto replayed = replay.sataFile(drivekit::features::PackageFileNames::smartData)) {
                return SimResponse::withData(*replayed);
            }
            if (replay.answersAlone()) {
                return SimResponse::ataAbort();
            }
            return SimResponse::withData(
                keptSector(state, ata::smartFeatures::readData, [&] { return smartData(profile, state); }));
        case ata::smartFeatures::readThresholds:
            if (replay.answersAlone() && !replay.sataFile(drivekit::features::PackageFileNames::smartThresholds)) {
                return SimResponse::ataAbort();
            }
            return SimResponse::withData(keptSector(state, ata::smartFeatures::readThresholds, [&] {
                const auto replayed = replay.sataFile(drivekit::features::PackageFileNames::smartThresholds);
                return replayed ? *replayed : smartThresholds(profile);
            }));
        case ata::smartFeatures::executeOfflineImmediate:
            state.offlineStatus = 0x02;  // off-line collection completed
            state.ataSectors.erase(ata::smartFeatures::readData);
            return {};
        default:
            return SimResponse::ataAbort();
    }
}

}  // namespace host::sim
