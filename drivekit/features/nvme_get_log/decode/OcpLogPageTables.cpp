// The field tables of the cloud SSD log pages 0xC0 to 0xC5. Every page ends with its log
// page version and GUID; the GUID is shown as one number, most significant byte first.
#include "drivekit/features/nvme_get_log/decode/LogPageTables.h"

namespace drivekit::features::nvme_get_log::decode {

using namespace features::decode;

namespace {

constexpr Rendering hex = Rendering::hex;
constexpr Rendering text = Rendering::text;
constexpr Rendering guid = Rendering::hexNumber;
// The cloud SSD page shows its reserved ranges as "0x" and their bytes, zero or not.
constexpr Rendering prefixed = Rendering::prefixedBytes;
constexpr LabelStyle byteLabels = LabelStyle::bytes;

// Version and GUID of a 512-byte page.
void endSmallPage(std::vector<Field>& fields) {
    fields.push_back(bytes("Log Page Version", 494, 495));
    fields.push_back(bytes("Log Page GUID", 496, 511, guid));
}

FieldTable smallPage(const char* title, std::vector<Field> fields) {
    endSmallPage(fields);
    return FieldTable{title, byteLabels, 512, std::move(fields)};
}

}  // namespace

const FieldTable& ocpSmartCountersTable() {
    static const FieldTable table{"SMART Cloud Log", byteLabels, 32,
                                  {
                                      bytes("Media Units Written", 0, 15),
                                      bytes("Media Units Read", 16, 31),
                                  }};
    return table;
}

const FieldTable& ocpBadUserBlocksTable() {
    static const FieldTable table{"Bad User NAND Blocks", byteLabels, 40,
                                  {bytes("Raw Count", 32, 37), bytes("Normalized Value", 38, 39)}};
    return table;
}

const FieldTable& ocpBadSystemBlocksTable() {
    static const FieldTable table{"Bad System NAND Blocks", byteLabels, 48,
                                  {bytes("Raw Count", 40, 45), bytes("Normalized Value", 46, 47)}};
    return table;
}

const FieldTable& ocpErrorCountsTable() {
    static const FieldTable table{"SMART Cloud Log", byteLabels, 72,
                                  {
                                      bytes("XOR Recovery Count", 48, 55),
                                      bytes("Uncorrectable Read Error Count", 56, 63),
                                      bytes("Soft ECC Error Count", 64, 71),
                                  }};
    return table;
}

const FieldTable& ocpEndToEndTable() {
    static const FieldTable table{"End To End Correction Counts", byteLabels, 80,
                                  {bytes("Detected Errors", 72, 75), bytes("Corrected Errors", 76, 79)}};
    return table;
}

const FieldTable& ocpDataPercentTable() {
    static const FieldTable table{"SMART Cloud Log", byteLabels, 88,
                                  {byte("System Data Percent Used", 80), bytes("Refresh Counts", 81, 87)}};
    return table;
}

const FieldTable& ocpEraseCountsTable() {
    static const FieldTable table{"User Data Erase Counts", byteLabels, 96,
                                  {
                                      bytes("Maximum User Data Erase Count", 88, 91),
                                      bytes("Minimum User Data Erase Count", 92, 95),
                                  }};
    return table;
}

const FieldTable& ocpThrottlingTable() {
    static const FieldTable table{"Thermal Throttling Status and Count", byteLabels, 97,
                                  {byte("Number of Thermal Throttling Events", 96)}};
    return table;
}

const FieldTable& ocpSmartRestTable() {
    static const FieldTable table = smallPage("SMART Cloud Log", {
                                                                     byte("OCP Specification Errata Version", 98),
                                                                     bytes("OCP Specification Point Version", 99, 100),
                                                                     bytes("OCP Specification Minor Version", 101, 102),
                                                                     byte("OCP Specification Major Version", 103),
                                                                     bytes("PCIe Correctable Error Count", 104, 111),
                                                                     bytes("Incomplete Shutdowns", 112, 115),
                                                                     bytes("Reserved (119:116)", 116, 119, prefixed),
                                                                     byte("Percent Free Blocks", 120),
                                                                     bytes("Reserved (127:121)", 121, 127, prefixed),
                                                                     bytes("Capacitor Health", 128, 129),
                                                                     byte("NVMe Errata Version", 130),
                                                                     bytes("Reserved (135:131)", 132, 135, prefixed),
                                                                     bytes("Unaligned I/O", 136, 143),
                                                                     bytes("Security Revision Number", 144, 151),
                                                                     bytes("Total NUSE", 152, 159),
                                                                     bytes("PLP Start Count", 160, 175),
                                                                     bytes("Endurance Estimate", 176, 191),
                                                                     bytes("PCIe Link Retraining Count", 192, 199),
                                                                     bytes("Power State Change Count", 200, 207),
                                                                     bytes("Reserved (493:208)", 216, 493, prefixed),
                                                                 });
    return table;
}

const FieldTable& ocpErrorRecoveryTable() {
    static const FieldTable table = smallPage("OCP Error Recovery Log", {
                                                                            bytes("Panic Reset Wait Time", 0, 1),
                                                                            byte("Panic Reset Action", 2, hex),
                                                                            byte("Device Recovery Action 1", 3, hex),
                                                                            bytes("Panic ID", 4, 11, hex),
                                                                            bytes("Device Capabilities", 12, 15, hex),
                                                                            byte("Vendor Specific Recovery Opcode", 16, hex),
                                                                            reserved(17, 19),
                                                                            bytes("Vendor Specific Command CDW12", 20, 23, hex),
                                                                            bytes("Vendor Specific Command CDW13", 24, 27, hex),
                                                                            byte("Vendor Specific Command Timeout", 28),
                                                                            byte("Device Recovery Action 2", 29, hex),
                                                                            byte("Device Recovery Action 2 Timeout", 30),
                                                                            reserved(31, 493),
                                                                        });
    return table;
}

const FieldTable& ocpFirmwareHistoryHeaderTable() {
    static const FieldTable table{"OCP Firmware Activation History Log", byteLabels, 8,
                                  {
                                      byte("Log Identifier", 0, hex),
                                      reserved(1, 3),
                                      bytes("Valid Firmware Activation History Entries", 4, 7),
                                  }};
    return table;
}

const FieldTable& ocpFirmwareHistoryEntryTable() {
    static const FieldTable table{"Firmware Activation History Entry", byteLabels, 64,
                                  {
                                      byte("Entry Version Number", 0),
                                      byte("Entry Length", 1),
                                      reserved(2, 3),
                                      bytes("Firmware Activation Counter", 4, 5),
                                      reserved(6, 7),
                                      bytes("Timestamp", 8, 15),
                                      reserved(16, 23),
                                      bytes("Power Cycle Count", 24, 31),
                                      bytes("Previous Firmware", 32, 39, text),
                                      bytes("New Firmware", 40, 47, text),
                                      byte("Slot Number", 48),
                                      byte("Commit Action Type", 49),
                                      bytes("Result", 50, 51, hex),
                                      reserved(52, 63),
                                  }};
    return table;
}

const FieldTable& ocpLargePageTrailerTable() {
    static const FieldTable table{"Log Page Identification", byteLabels, 4096,
                                  {bytes("Log Page Version", 4078, 4079), bytes("Log Page GUID", 4080, 4095, guid)}};
    return table;
}

const FieldTable& ocpLatencyMonitorTable() {
    static const FieldTable table = smallPage("OCP Latency Monitor Log", {
                                                                             byte("Latency Monitor Feature Status", 0, hex),
                                                                             bit("Latency Monitoring Enabled", 0),
                                                                             bit("Active Latency Mode Enabled", 1),
                                                                             bit("Static Latency Mode Enabled", 2),
                                                                             reserved(1, 1),
                                                                             bytes("Active Bucket Timer", 2, 3),
                                                                             bytes("Active Bucket Timer Threshold", 4, 5),
                                                                             byte("Active Threshold A", 6),
                                                                             byte("Active Threshold B", 7),
                                                                             byte("Active Threshold C", 8),
                                                                             byte("Active Threshold D", 9),
                                                                             bytes("Active Latency Configuration", 10, 11, hex),
                                                                             byte("Active Latency Minimum Window", 12),
                                                                             reserved(13, 31),
                                                                             bytes("Active Bucket Counters", 32, 127, Rendering::bytes),
                                                                             bytes("Active Latency Time Stamps", 128, 223, Rendering::bytes),
                                                                             bytes("Active Measured Latency", 224, 247, Rendering::bytes),
                                                                             bytes("Active Latency Stamp Units", 248, 249, hex),
                                                                             reserved(250, 271),
                                                                             bytes("Static Bucket Counters", 272, 367, Rendering::bytes),
                                                                             bytes("Static Latency Time Stamps", 368, 463, Rendering::bytes),
                                                                             bytes("Static Measured Latency", 464, 487, Rendering::bytes),
                                                                             bytes("Static Latency Stamp Units", 488, 489, hex),
                                                                             reserved(490, 493),
                                                                         });
    return table;
}

const FieldTable& ocpDeviceCapabilitiesTable() {
    static const FieldTable table{"OCP Device Capabilities Log", byteLabels, 16,
                                  {
                                      bytes("PCIe Port Count", 0, 1),
                                      bytes("OOB Management", 2, 3, hex),
                                      bit("MCTP over SMBus Supported", 0),
                                      bit("MCTP over PCIe VDM Supported", 1),
                                      bit("Basic Management Command Supported", 2),
                                      bit("OOB Management Support Valid", 15),
                                      bytes("Write Zeroes Command Support", 4, 5, hex),
                                      bytes("Sanitize Command Support", 6, 7, hex),
                                      bytes("Dataset Management Command Support", 8, 9, hex),
                                      bytes("Write Uncorrectable Command Support", 10, 11, hex),
                                      bytes("Fused Operation Support", 12, 13, hex),
                                      bytes("Minimum Valid DSSD Power State", 14, 15),
                                  }};
    return table;
}

const FieldTable& ocpPowerStateDescriptorTable() {
    static const FieldTable table{"DSSD Power State Descriptor", byteLabels, 1,
                                  {
                                      byte("DSSD Power State Descriptor", 0, hex),
                                      bits("Maximum Power (W)", 6, 0),
                                      bit("Valid", 7),
                                  }};
    return table;
}

const FieldTable& ocpUnsupportedHeaderTable() {
    static const FieldTable table{"OCP Unsupported Requirements Log", byteLabels, 16,
                                  {bytes("Unsupported Count", 0, 1), reserved(2, 15)}};
    return table;
}

const FieldTable& ocpUnsupportedEntryTable() {
    static const FieldTable table{"Unsupported Requirement", byteLabels, 16,
                                  {bytes("Unsupported Requirement", 0, 15, text)}};
    return table;
}

}  // namespace drivekit::features::nvme_get_log::decode
