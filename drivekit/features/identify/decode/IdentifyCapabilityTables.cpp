// The smaller Identify structures and the records of the list structures.
#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/identify/decode/IdentifyTables.h"

namespace drivekit::features::identify::decode {

using namespace features::decode;

namespace {
constexpr Rendering hex = Rendering::hex;
}  // namespace

const FieldTable& primaryControllerCapabilitiesTable() {
    static const FieldTable table{
        "Primary Controller Capabilities",
        LabelStyle::bytes,
        nvmeIdentifySize,
        {
            bytes("Controller Identifier (CNTLID)", 0, 1, hex),
            bytes("Port Identifier (PORTID)", 2, 3, hex),
            byte("Controller Resource Types (CRT)", 4, hex),
            bit("CRT: VQ Resources", 0),
            bit("CRT: VI Resources", 1),
            reserved(5, 31),
            bytes("VQ Resources Flexible Total (VQFRT)", 32, 35),
            bytes("VQ Resources Flexible Assigned (VQRFA)", 36, 39),
            bytes("VQ Resources Flexible Allocated to Primary (VQRFAP)", 40, 41),
            bytes("VQ Resources Private Total (VQPRT)", 42, 43),
            bytes("VQ Resources Flexible Secondary Maximum (VQFRSM)", 44, 45),
            bytes("VQ Flexible Resource Preferred Granularity (VQGRAN)", 46, 47),
            reserved(48, 63),
            bytes("VI Resources Flexible Total (VIFRT)", 64, 67),
            bytes("VI Resources Flexible Assigned (VIRFA)", 68, 71),
            bytes("VI Resources Flexible Allocated to Primary (VIRFAP)", 72, 73),
            bytes("VI Resources Private Total (VIPRT)", 74, 75),
            bytes("VI Resources Flexible Secondary Maximum (VIFRSM)", 76, 77),
            bytes("VI Flexible Resource Preferred Granularity (VIGRAN)", 78, 79),
            reserved(80, 4095),
        },
    };
    return table;
}

const FieldTable& secondaryControllerEntryTable() {
    static const FieldTable table{
        "Secondary Controller Entry",
        LabelStyle::bytes,
        sizeof(SecondaryControllerEntry),
        {
            bytes("Secondary Controller Identifier (SCID)", 0, 1, hex),
            bytes("Primary Controller Identifier (PCID)", 2, 3, hex),
            byte("Secondary Controller State (SCS)", 4, hex),
            bit("SCS: Online", 0),
            reserved(5, 7),
            bytes("Virtual Function Number (VFN)", 8, 9),
            bytes("Number of VQ Flexible Resources Assigned (NVQ)", 10, 11),
            bytes("Number of VI Flexible Resources Assigned (NVI)", 12, 13),
            reserved(14, 31),
        },
    };
    return table;
}

const FieldTable& namespaceGranularityDescriptorTable() {
    static const FieldTable table{
        "Namespace Granularity Descriptor",
        LabelStyle::bytes,
        sizeof(NamespaceGranularityDescriptor),
        {
            bytes("Namespace Size Granularity", 0, 7),
            bytes("Namespace Capacity Granularity", 8, 15),
        },
    };
    return table;
}

const FieldTable& namespaceGranularityTable() {
    static const FieldTable table{
        "Namespace Granularity Attributes",
        LabelStyle::bytes,
        nvmeIdentifySize,
        {
            bytes("Namespace Granularity Attributes (NGA)", 0, 3, hex),
            bit("NGA: Granularity Descriptor Per Namespace Capacity", 0),
            byte("Number of Descriptors (NOD)", 4),
            reading("NOD: Count (the Field is 0's Based)", 4, 4, Rendering::zeroBasedCount),
            reserved(5, 31),
            records("Namespace Granularity Descriptors", "Namespace Granularity Descriptor", 32,
                    sizeof(NamespaceGranularityDescriptor), 16,
                    namespaceGranularityDescriptorTable()),
            reserved(288, 4095),
        },
    };
    return table;
}

const FieldTable& uuidListEntryTable() {
    static const FieldTable table{
        "UUID List Entry",
        LabelStyle::bytes,
        sizeof(UuidListEntry),
        {
            byte("Identifier Association", 0, hex),
            bits("Identifier Association (Bits 1:0)", 1, 0),
            reserved(1, 15),
            bytes("UUID", 16, 31, Rendering::uuid),
        },
    };
    return table;
}

const FieldTable& namespaceIdDescriptorHeaderTable() {
    static const FieldTable table{
        "Namespace Identification Descriptor",
        LabelStyle::bytes,
        sizeof(NamespaceIdDescriptorHeader),
        {
            byte("Namespace Identifier Type (NIDT)", 0, hex),
            byte("Namespace Identifier Length (NIDL)", 1),
            reserved(2, 3),
        },
    };
    return table;
}

const FieldTable& commandSetVectorTable() {
    static const FieldTable table{
        "Command Set Vector",
        LabelStyle::bytes,
        sizeof(CommandSetVector),
        {
            bytes("Command Set Vector", 0, 7, hex),
            bit("NVM Command Set", 0),
            bit("Key Value Command Set", 1),
            bit("Zoned Namespace Command Set", 2),
        },
    };
    return table;
}

const FieldTable& nvmSetListHeaderTable() {
    static const FieldTable table{
        "NVM Set List Header",
        LabelStyle::bytes,
        sizeof(AttributesListHeader),
        {
            byte("Number of Identifiers", 0),
            reserved(1, 127),
        },
    };
    return table;
}

const FieldTable& nvmSetAttributesEntryTable() {
    static const FieldTable table{
        "NVM Set Attributes Entry",
        LabelStyle::bytes,
        sizeof(NvmSetAttributesEntry),
        {
            bytes("NVM Set Identifier (NVMSETID)", 0, 1),
            bytes("Endurance Group Identifier (ENDGID)", 2, 3),
            reserved(4, 7),
            // In 100 ns units, read in the deterministic window with one command outstanding.
            bytes("Random 4 KiB Read Typical (RR4KT)", 8, 11),
            bytes("Optimal Write Size (OWS)", 12, 15),
            bytes("Total NVM Set Capacity (TNVMSETCAP)", 16, 31, Rendering::decimal128),
            bytes("Unallocated NVM Set Capacity (UNVMSETCAP)", 32, 47, Rendering::decimal128),
            reserved(48, 127),
        },
    };
    return table;
}

const FieldTable& domainListHeaderTable() {
    static const FieldTable table{
        "Domain List Header",
        LabelStyle::bytes,
        sizeof(AttributesListHeader),
        {
            byte("Number of Entries", 0),
            reserved(1, 127),
        },
    };
    return table;
}

const FieldTable& domainAttributesEntryTable() {
    static const FieldTable table{
        "Domain Attributes Entry",
        LabelStyle::bytes,
        sizeof(DomainAttributesEntry),
        {
            bytes("Domain Identifier", 0, 1),
            reserved(2, 15),
            bytes("Domain Capacity", 16, 31, Rendering::decimal128),
            bytes("Unallocated Domain Capacity", 32, 47, Rendering::decimal128),
            bytes("Max Endurance Group Domain Capacity", 48, 63, Rendering::decimal128),
            reserved(64, 127),
        },
    };
    return table;
}

}  // namespace drivekit::features::identify::decode

namespace drivekit::features::identify::decode {

const FieldTable& independentNamespaceTable() {
    static const FieldTable table{
        "I/O Command Set Independent Identify Namespace",
        LabelStyle::bytes,
        nvmeIdentifySize,
        joined({{
            byte("Common Namespace Features (NSFEAT)", 0, Rendering::hex),
            byte("Namespace Multi-path I/O and Namespace Sharing Capabilities (NMIC)", 1,
                 Rendering::hex),
            bit("NMIC: Shared Namespace", 0),
            byte("Reservation Capabilities (RESCAP)", 2, Rendering::hex),
        },
        reservationCapabilityBits(),
        {
            byte("Format Progress Indicator (FPI)", 3, Rendering::hex),
            bits("FPI: Percentage Remaining", 6, 0),
            bit("FPI: Format Progress Indicator Supported", 7),
            bytes("ANA Group Identifier (ANAGRPID)", 4, 7),
            byte("Namespace Attributes (NSATTR)", 8, Rendering::hex),
            bit("NSATTR: Write Protected", 0),
            reserved(9, 9),
            bytes("NVM Set Identifier (NVMSETID)", 10, 11),
            bytes("Endurance Group Identifier (ENDGID)", 12, 13),
            byte("Namespace Status (NSTAT)", 14, Rendering::hex),
            bit("NSTAT: Namespace Ready", 0),
            reserved(15, 4095),
        }}),
    };
    return table;
}

const FieldTable& nvmControllerTable() {
    static const FieldTable table{
        "NVM Command Set Identify Controller",
        LabelStyle::bytes,
        nvmeIdentifySize,
        {
            byte("Verify Size Limit (VSL)", 0),
            byte("Write Zeroes Size Limit (WZSL)", 1),
            byte("Write Uncorrectable Size Limit (WUSL)", 2),
            byte("Dataset Management Ranges Limit (DMRL)", 3),
            bytes("Dataset Management Range Size Limit (DMRSL)", 4, 7),
            bytes("Dataset Management Size Limit (DMSL)", 8, 15),
            reserved(16, 4095),
        },
    };
    return table;
}

const FieldTable& extendedLbaFormatTable() {
    static const FieldTable table{
        "Extended LBA Format",
        LabelStyle::bytes,
        4,
        {
            bytes("Extended LBA Format", 0, 3, Rendering::hex),
            bits("Storage Tag Size (STS)", 6, 0),
            bits("Protection Information Format (PIF)", 8, 7),
        },
    };
    return table;
}

const FieldTable& nvmNamespaceTable() {
    static const FieldTable table{
        "NVM Command Set Identify Namespace",
        LabelStyle::bytes,
        nvmeIdentifySize,
        {
            bytes("Logical Block Storage Tag Mask (LBSTM)", 0, 7, Rendering::hex),
            byte("Protection Information Capabilities (PIC)", 8, Rendering::hex),
            reserved(9, 11),
            records("Extended LBA Format Support", "Extended LBA Format", 12, 4, 64,
                    extendedLbaFormatTable()),
            reserved(268, 4095),
        },
    };
    return table;
}

}  // namespace drivekit::features::identify::decode
