// The smaller Identify structures and the records of the list structures.
#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/identify/decode/IdentifyTables.h"

namespace drivekit::features::identify::decode {

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

}  // namespace drivekit::features::identify::decode
