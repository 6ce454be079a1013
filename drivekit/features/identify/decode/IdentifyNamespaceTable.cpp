// The Identify Namespace data structure (NVM command set) and its LBA formats.
#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/identify/decode/IdentifyTables.h"

namespace drivekit::features::identify::decode {

using namespace features::decode;

namespace {
constexpr Rendering hex = Rendering::hex;
}  // namespace

const FieldTable& lbaFormatTable() {
    static const FieldTable table{
        "LBA Format",
        LabelStyle::bytes,
        sizeof(LbaFormat),
        {
            bytes("Metadata Size (MS)", 0, 1),
            byte("LBA Data Size (LBADS)", 2),
            reading("LBADS: in Bytes", 2, 2, Rendering::powerOfTwoBytes),
            byte("Relative Performance", 3, hex),
            bits("Relative Performance (RP)", 1, 0),
        },
    };
    return table;
}

std::vector<Field> reservationCapabilityBits() {
    return {
        bit("RESCAP: Persist Through Power Loss", 0),
        bit("RESCAP: Write Exclusive", 1),
        bit("RESCAP: Exclusive Access", 2),
        bit("RESCAP: Write Exclusive - Registrants Only", 3),
        bit("RESCAP: Exclusive Access - Registrants Only", 4),
        bit("RESCAP: Write Exclusive - All Registrants", 5),
        bit("RESCAP: Exclusive Access - All Registrants", 6),
        bit("RESCAP: Ignore Existing Key", 7),
    };
}

const FieldTable& identifyNamespaceTable() {
    static const FieldTable table{
        "Identify Namespace",
        LabelStyle::bytes,
        nvmeIdentifySize,
        joined({{
            bytes("Namespace Size (NSZE)", 0, 7),
            bytes("Namespace Capacity (NCAP)", 8, 15),
            bytes("Namespace Utilization (NUSE)", 16, 23),
            byte("Namespace Features (NSFEAT)", 24, hex),
            bit("NSFEAT: Thin Provisioning", 0),
            bit("NSFEAT: Namespace Atomic Fields (NAWUN, NAWUPF, NACWU)", 1),
            bit("NSFEAT: Deallocated or Unwritten Logical Block Error", 2),
            bit("NSFEAT: NGUID and EUI64 Never Reused", 3),
            bit("NSFEAT: Optimal Performance Fields (NPWG, NPWA, NPDG, NPDA, NOWS)", 4),
            byte("Number of LBA Formats (NLBAF)", 25),
            reading("NLBAF: Count (the Field is 0's Based)", 25, 25, Rendering::zeroBasedCount),
            byte("Formatted LBA Size (FLBAS)", 26, hex),
            bits("FLBAS: Format Index (Bits 3:0)", 3, 0),
            bit("FLBAS: Metadata Transferred at the End of the Data LBA", 4),
            bits("FLBAS: Format Index (Bits 6:5)", 6, 5),
            reading("FLBAS: LBA Format in Use", 25, 383, Rendering::lbaFormatInUse),
            byte("Metadata Capabilities (MC)", 27, hex),
            bit("MC: Metadata as Part of an Extended Data LBA", 0),
            bit("MC: Metadata in a Separate Buffer", 1),
            byte("End-to-end Data Protection Capabilities (DPC)", 28, hex),
            bit("DPC: Protection Information Type 1", 0),
            bit("DPC: Protection Information Type 2", 1),
            bit("DPC: Protection Information Type 3", 2),
            bit("DPC: Protection Information in the First Bytes of Metadata", 3),
            bit("DPC: Protection Information in the Last Bytes of Metadata", 4),
            byte("End-to-end Data Protection Type Settings (DPS)", 29, hex),
            bits("DPS: Protection Information Type", 2, 0),
            bit("DPS: Protection Information in the First Bytes of Metadata", 3),
            byte("Namespace Multi-path I/O and Namespace Sharing Capabilities (NMIC)", 30, hex),
            bit("NMIC: Shared Namespace", 0),
            byte("Reservation Capabilities (RESCAP)", 31, hex),
        },
        reservationCapabilityBits(),
        {
            byte("Format Progress Indicator (FPI)", 32, hex),
            bits("FPI: Percentage Remaining", 6, 0),
            bit("FPI: Format Progress Indicator Supported", 7),
            byte("Deallocate Logical Block Features (DLFEAT)", 33, hex),
            bits("DLFEAT: Deallocated Logical Block Read Value", 2, 0),
            bit("DLFEAT: Write Zeroes Deallocate", 3),
            bit("DLFEAT: Guard Field of Deallocated Blocks is the CRC", 4),
            bytes("Namespace Atomic Write Unit Normal (NAWUN)", 34, 35),
            bytes("Namespace Atomic Write Unit Power Fail (NAWUPF)", 36, 37),
            bytes("Namespace Atomic Compare & Write Unit (NACWU)", 38, 39),
            bytes("Namespace Atomic Boundary Size Normal (NABSN)", 40, 41),
            bytes("Namespace Atomic Boundary Offset (NABO)", 42, 43),
            bytes("Namespace Atomic Boundary Size Power Fail (NABSPF)", 44, 45),
            bytes("Namespace Optimal I/O Boundary (NOIOB)", 46, 47),
            bytes("NVM Capacity (NVMCAP)", 48, 63, Rendering::decimal128),
            bytes("Namespace Preferred Write Granularity (NPWG)", 64, 65),
            bytes("Namespace Preferred Write Alignment (NPWA)", 66, 67),
            bytes("Namespace Preferred Deallocate Granularity (NPDG)", 68, 69),
            bytes("Namespace Preferred Deallocate Alignment (NPDA)", 70, 71),
            bytes("Namespace Optimal Write Size (NOWS)", 72, 73),
            bytes("Maximum Single Source Range Length (MSSRL)", 74, 75),
            bytes("Maximum Copy Length (MCL)", 76, 79),
            byte("Maximum Source Range Count (MSRC)", 80),
            reading("MSRC: Count (the Field is 0's Based)", 80, 80, Rendering::zeroBasedCount),
            reserved(81, 81),
            byte("Number of Unique Capability LBA Formats (NULBAF)", 82),
            reserved(83, 91),
            bytes("ANA Group Identifier (ANAGRPID)", 92, 95),
            reserved(96, 98),
            byte("Namespace Attributes (NSATTR)", 99, hex),
            bit("NSATTR: Write Protected", 0),
            bytes("NVM Set Identifier (NVMSETID)", 100, 101),
            bytes("Endurance Group Identifier (ENDGID)", 102, 103),
            bytes("Namespace Globally Unique Identifier (NGUID)", 104, 119, Rendering::bytes),
            bytes("IEEE Extended Unique Identifier (EUI64)", 120, 127, Rendering::bytes),
            records("LBA Format Support", "LBA Format", 128, sizeof(LbaFormat), 64,
                    lbaFormatTable()),
            reserved(384, 3839),
            reserved(3840, 4095, "Vendor Specific"),
        }}),
    };
    return table;
}

}  // namespace drivekit::features::identify::decode
