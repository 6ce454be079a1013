#include "drivekit/features/smart/SmartAttributeNames.h"

#include <vector>

namespace drivekit::features::smart {

namespace {

using Naming = core::products::AtaSmartNaming;

// Which naming rules a row applies to.
enum Schemes : uint8_t {
    standard = 1 << 0,
    makerSsd = 1 << 1,
    legacySsd = 1 << 2,
    maker = makerSsd | legacySsd,
    any = standard | maker,
};

struct NameRow {
    uint8_t id;
    uint8_t schemes;
    std::string name;
};

// The first row of an id whose schemes include the drive's rule wins.
const std::vector<NameRow>& nameTable() {
    static const std::vector<NameRow> rows = {
        {0x01, legacySsd, "Raw Read Error Count"},
        {0x01, any, "Raw Read Error Rate"},
        {0x02, any, "Throughput Performance"},
        {0x03, any, "Spin Up Time"},
        {0x04, any, "Start/Stop Count"},
        {0x05, maker, "Reallocated Flash Block Count"},
        {0x05, any, "Re-allocated Sector Count"},
        {0x06, any, "Read Channel Margin"},
        {0x07, any, "Seek Error Rate"},
        {0x08, any, "Seek Time Performance"},
        {0x09, any, "Power-On Hours Count"},
        {0x0A, any, "Spin Retry Count"},
        {0x0B, any, "Recalibration Retries"},
        {0x0C, any, "Power Cycle Count"},
        {0x0D, any, "Read Error Retry Rate"},
        {0x0E, legacySsd, "User Capacity"},
        {0x0E, any, "Device Capacity"},
        {0x0F, any, "User Capacity"},
        {0x10, legacySsd, "Remaining Spare Blocks"},
        {0x10, any, "Spare Blocks Available"},
        {0x11, any, "Remaining Spare Blocks"},
        {0xA5, any, "Per Block Max Erase Count"},
        {0xA6, any, "Erase Count"},
        {0xA7, any, "Average Erase Count"},
        {0xA9, any, "Percent Drive Life Remaining"},
        {0xAA, any, "Available Reserved Space"},
        {0xAB, any, "Program Fail Count"},
        {0xAC, legacySsd, "Total Block Erase Failure"},
        {0xAC, any, "Erase Fail Count"},
        {0xAD, any, "Wear Leveling Count"},
        {0xAE, any, "Unexpected Power Loss Count"},
        {0xAF, legacySsd, "Power Loss Protection Error"},
        {0xAF, any, "Power Loss Protection Failure"},
        {0xB1, any, "Wear Range Delta"},
        {0xB3, any, "Used reserved block count (total)"},
        {0xB4, any, "Unused Reserved block count (total)"},
        {0xB5, legacySsd, "Total Block Program Failure"},
        {0xB5, any, "Program fail count (total)"},
        {0xB6, any, "Erase fail count (total)"},
        {0xB7, any, "SATA Downshift Count"},
        {0xB8, any, "End-to-End Error Detection Count"},
        {0xBB, any, "Uncorrectable Error Count"},
        {0xBE, any, "Case Temperature"},
        {0xBF, maker, "Shock Sense Count"},
        {0xBF, any, "G-Sense Error Rate"},
        {0xC0, maker, "Unsafe Shutdown Count"},
        {0xC1, any, "Load/Unload Cycle"},
        {0xC2, any, "Temperature"},
        {0xC3, any, "ECC Rate"},
        {0xC4, maker, "Exception Mode Status (Read-only mode)"},
        {0xC5, any, "Pending Sector Count"},
        {0xC6, maker, "Offline Uncorrectable Error Count"},
        {0xC6, any, "Offline Scan Uncorrectable LBA Count"},
        {0xC7, any, "CRC Error Count"},
        {0xC8, any, "Write Error Rate"},
        {0xC9, maker, "Volatile Memory Backup Source Failure"},
        {0xCA, maker, "Percentage of Drive Life Used"},
        {0xCA, any, "Data Address Mark Errors"},
        {0xCB, any, "Run Out Cancel"},
        {0xCC, any, "Soft ECC Correction"},
        {0xCD, any, "Thermal Asperity Rate (TAR)"},
        {0xCE, any, "Flying Height"},
        {0xCF, any, "Spin High Current"},
        {0xD0, any, "Spin Buzz"},
        {0xD1, any, "Offline Seek Performance"},
        {0xD2, maker, "Retry Buffer Overflow Count"},
        {0xD3, maker, "PLL Lock Loss Count"},
        {0xDC, any, "Disk Shift"},
        {0xDD, any, "G-Sense Error Rate"},
        {0xDE, any, "Loaded Hours"},
        {0xDF, any, "Load/Unload Retry Count"},
        {0xE0, any, "Load Friction"},
        {0xE1, any, "Host Writes"},
        {0xE2, any, "Timed Workload - Media Wear"},
        {0xE3, any, "Timed Workload - Host Read/Write Ratio"},
        {0xE4, any, "Timed Workload Timer"},
        {0xE5, maker, "Read Commands In Flight Count"},
        {0xE6, maker, "Write Commands In Flight Count"},
        {0xE6, any, "GMR Head Amplitude"},
        {0xE8, any, "Available Reserved Space"},
        {0xE9, legacySsd, "Number of write count"},
        {0xE9, any, "Media Wearout Indicator"},
        {0xEA, maker, "Thermal Throttle Status"},
        {0xEA, any, "Total Host Bytes Read"},
        {0xEB, maker, "Power Loss Protection Failure"},
        {0xEC, maker, "ReSku Count"},
        {0xF0, maker, "Total Host Bytes/Sectors Written"},
        {0xF1, any, "Total LBAs Written"},
        {0xF2, any, "Total LBAs Read"},
        {0xF3, maker, "Total Nand Bytes/Sectors Written"},
        {0xF4, maker, "NAND Bytes Written"},
        {0xF5, maker, "Percent Drive Life Remaining"},
        {0xF6, maker, "Host Bytes Written"},
        {0xF7, maker, "System Area Life Remaining"},
        {0xF8, maker, "Host Context Wear Used"},
        {0xF9, maker, "Total NAND Writes"},
        {0xFA, maker, "Read Error Retry Rate"},
        {0xFB, maker, "Media Error Count"},
        {0xFC, maker, "NAND Bytes Read"},
        {0xFD, maker, "Firmware Downgrades"},
        {0x17, maker, "Host Read Collision Count"},
        {0x18, maker, "Host Write Collision Count"},
        {0x19, maker, "XOR Pass Count"},
        {0x1A, maker, "XOR Fail Count"},
        {0x1B, maker, "XOR Invoked Count"},
    };
    return rows;
}

uint8_t schemeOf(Naming naming) {
    switch (naming) {
        case Naming::makerSsd: return makerSsd;
        case Naming::makerLegacySsd: return legacySsd;
        case Naming::standard: break;
    }
    return standard;
}

}  // namespace

const std::string& ataAttributeName(uint8_t id, Naming naming) {
    if (id == 0x00 || id == 0xFF) {
        return unknownName;
    }
    const uint8_t scheme = schemeOf(naming);
    for (const auto& row : nameTable()) {
        if (row.id == id && (row.schemes & scheme) != 0) {
            return row.name;
        }
    }
    return vendorSpecificName;
}

}  // namespace drivekit::features::smart
