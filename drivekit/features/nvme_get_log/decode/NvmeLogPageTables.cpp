// The field tables of the standard NVMe log pages and of their repeating records.
#include "drivekit/features/nvme_get_log/decode/LogPageTables.h"

namespace drivekit::features::nvme_get_log::decode {

using namespace features::decode;

namespace {

constexpr Rendering hex = Rendering::hex;
constexpr Rendering text = Rendering::text;
constexpr LabelStyle byteLabels = LabelStyle::bytes;

// The scope flags that the effects entries of features and of management interface commands
// (and, from NVMe 2.1, of commands) carry in bits 31:20.
const Field scopeFlags[] = {
    bit("Namespace Scope", 20),      bit("Controller Scope", 21), bit("Endurance Group Scope", 22),
    bit("NVM Set Scope", 23),        bit("Domain Scope", 24),     bit("NVM Subsystem Scope", 25),
};

std::vector<Field> withScope(std::vector<Field> fields) {
    fields.insert(fields.end(), std::begin(scopeFlags), std::end(scopeFlags));
    return fields;
}

}  // namespace

const FieldTable& supportedLogPageEntryTable() {
    static const FieldTable table{"Log Page Entry", byteLabels, 4,
                                  {
                                      bytes("Log Page Entry", 0, 3, hex),
                                      bit("Supported", 0),
                                      bit("Index Offset Supported", 1),
                                      bits("LID Specific Parameter", 31, 16, hex),
                                  }};
    return table;
}

const FieldTable& errorInformationEntryTable() {
    static const FieldTable table{"Error Information Entry", byteLabels, 64,
                                  {
                                      bytes("Error Count Identifier", 0, 7),
                                      bytes("Submission Queue ID", 8, 9),
                                      bytes("Command ID", 10, 11, hex),
                                      bytes("Status Field", 12, 13, hex),
                                      bit("Phase Tag", 0),
                                      bits("Status Code", 8, 1, hex),
                                      bits("Status Code Type", 11, 9, hex),
                                      bits("Command Retry Delay", 13, 12),
                                      bit("More", 14),
                                      bit("Do Not Retry", 15),
                                      bytes("Parameter Error Location", 14, 15, hex),
                                      bits("Byte in command that contained the error", 7, 0),
                                      bits("Bit in command that contained the error", 10, 8),
                                      bytes("LBA", 16, 23),
                                      bytes("Namespace", 24, 27),
                                      byte("Vendor Specific Log Page", 28, hex),
                                      byte("Transport Type", 29, hex),
                                      reserved(30, 31),
                                      bytes("Command Specific Log Page", 32, 39, hex),
                                      bytes("Transport Type Specific Information", 40, 41, hex),
                                      reserved(42, 63),
                                  }};
    return table;
}

const FieldTable& firmwareSlotTable(bool withResetSlot) {
    static const auto build = [](bool reset) {
        FieldTable table{"Firmware Slot Info", byteLabels, 512, {byte("Active Firmware Info (AFI)", 0, hex)}};
        table.fields.push_back(bits("Active Firmware Slot", 2, 0));
        if (reset) {
            table.fields.push_back(bits("Reset Firmware Slot", 6, 4));
        }
        static const char* const slots[] = {"Firmware Rev Slot 1", "Firmware Rev Slot 2", "Firmware Rev Slot 3",
                                            "Firmware Rev Slot 4", "Firmware Rev Slot 5", "Firmware Rev Slot 6",
                                            "Firmware Rev Slot 7"};
        for (uint32_t n = 1; n <= 7; ++n) {
            table.fields.push_back(bytes(slots[n - 1], 8 * n, 8 * n + 7, text));
        }
        return table;
    };
    static const FieldTable withReset = build(true);
    static const FieldTable withoutReset = build(false);
    return withResetSlot ? withReset : withoutReset;
}

const FieldTable& commandEffectsEntryTable() {
    static const FieldTable table{"Commands Supported and Effects", byteLabels, 4,
                                  withScope({
                                      bytes("Commands Supported and Effects", 0, 3, hex),
                                      bit("Command Supported", 0),
                                      bit("Logical Block Content Change", 1),
                                      bit("Namespace Capability Change", 2),
                                      bit("Namespace Inventory Change", 3),
                                      bit("Controller Capability Change", 4),
                                      bits("Command Submission and Execution", 18, 16),
                                      bit("UUID Selection Supported", 19),
                                  })};
    return table;
}

const FieldTable& selfTestHeaderTable() {
    static const FieldTable table{"Device Self-Test Log", byteLabels, 4,
                                  {
                                      byte("Current Self Test Status", 0, hex),
                                      bits("Current Device Self-test Operation", 3, 0),
                                      byte("Current Self Test Progress", 1),
                                      bits("Percent Complete", 6, 0),
                                      reserved(2, 3),
                                  }};
    return table;
}

const FieldTable& selfTestResultTable() {
    static const FieldTable table{"Self-test Result", byteLabels, 28,
                                  {
                                      byte("Device Self-test Status", 0, hex),
                                      bits("Result of the Device Self-test Operation", 3, 0),
                                      bits("Device Self-test Code", 7, 4),
                                      byte("Segment Number", 1),
                                      byte("Valid Diagnostic Information", 2, hex),
                                      bit("Namespace Identifier Valid", 0),
                                      bit("Failing LBA Valid", 1),
                                      bit("Status Code Type Valid", 2),
                                      bit("Status Code Valid", 3),
                                      reserved(3, 3),
                                      bytes("Power On Hours", 4, 11),
                                      bytes("Namespace Identifier", 12, 15),
                                      bytes("Failing LBA", 16, 23),
                                      byte("Status Code Type", 24, hex),
                                      byte("Status Code", 25, hex),
                                      bytes("Vendor Specific", 26, 27, hex),
                                  }};
    return table;
}

const FieldTable& enduranceGroupInformationTable() {
    static const FieldTable table{"Endurance Group Information Log", byteLabels, 512,
                                  {
                                      byte("Critical Warnings", 0, hex),
                                      bit("Available Spare Below Threshold", 0),
                                      bit("Reliability Degraded", 2),
                                      bit("Read Only", 3),
                                      byte("Endurance Group Features", 1, hex),
                                      reserved(2, 2),
                                      byte("Available Spare", 3),
                                      byte("Available Spare Threshold", 4),
                                      byte("Percentage Used", 5),
                                      bytes("Domain Identifier", 6, 7),
                                      reserved(8, 31),
                                      bytes("Endurance Estimate", 32, 47),
                                      bytes("Data Units Read", 48, 63),
                                      bytes("Data Units Written", 64, 79),
                                      bytes("Media Units Written", 80, 95),
                                      bytes("Host Read Commands", 96, 111),
                                      bytes("Host Write Commands", 112, 127),
                                      bytes("Media and Data Integrity Errors", 128, 143),
                                      bytes("Number of Error Information Log Entries", 144, 159),
                                      bytes("Total Endurance Group Capacity", 160, 175),
                                      bytes("Unallocated Endurance Group Capacity", 176, 191),
                                      reserved(192, 511),
                                  }};
    return table;
}

const FieldTable& lbaStatusHeaderTable() {
    static const FieldTable table{"LBA Status Information Log", byteLabels, 16,
                                  {
                                      bytes("LBA Status Log Page Length", 0, 3),
                                      bytes("Number of LBA Status Log Namespace Elements", 4, 7),
                                      bytes("Estimate of Unrecoverable Logical Blocks", 8, 11),
                                      reserved(12, 13),
                                      bytes("LBA Status Generation Counter", 14, 15),
                                  }};
    return table;
}

const FieldTable& lbaStatusElementTable() {
    static const FieldTable table{"LBA Status Log Namespace Element", byteLabels, 16,
                                  {
                                      bytes("Namespace Element Identifier", 0, 3),
                                      bytes("Number of LBA Range Descriptors", 4, 7),
                                      byte("Recommended Action Type", 8, hex),
                                      reserved(9, 15),
                                  }};
    return table;
}

const FieldTable& lbaRangeDescriptorTable() {
    static const FieldTable table{"LBA Range Descriptor", byteLabels, 16,
                                  {
                                      bytes("Range Starting LBA", 0, 7),
                                      bytes("Range Number of Logical Blocks", 8, 11),
                                      reserved(12, 15),
                                  }};
    return table;
}

const FieldTable& supportedFeatureEntryTable() {
    static const FieldTable table{"Feature Identifier Supported and Effects", byteLabels, 4,
                                  withScope({
                                      bytes("Feature Identifier Supported and Effects", 0, 3, hex),
                                      bit("Feature Identifier Supported", 0),
                                      bit("User Data Content Change", 1),
                                      bit("Namespace Capability Change", 2),
                                      bit("Namespace Inventory Change", 3),
                                      bit("Controller Capability Change", 4),
                                      bit("UUID Selection Supported", 19),
                                  })};
    return table;
}

const FieldTable& miCommandEffectsEntryTable() {
    static const FieldTable table{"NVMe-MI Command Supported and Effects", byteLabels, 4,
                                  withScope({
                                      bytes("NVMe-MI Command Supported and Effects", 0, 3, hex),
                                      bit("Command Supported", 0),
                                      bit("User Data Content Change", 1),
                                      bit("Namespace Capability Change", 2),
                                      bit("Namespace Inventory Change", 3),
                                      bit("Controller Capability Change", 4),
                                  })};
    return table;
}

const FieldTable& lockdownHeaderTable() {
    static const FieldTable table{"Command and Feature Lockdown Log", byteLabels, 4,
                                  {
                                      byte("Identifier List Field", 0, hex),
                                      bits("Scope (SCP)", 3, 0),
                                      bits("Contents of the Identifier List", 5, 4),
                                      reserved(1, 2),
                                      byte("Length (LNGTH)", 3),
                                  }};
    return table;
}

const FieldTable& eyeOpeningHeaderTable() {
    static const FieldTable table{"Eye Opening Measurement Log Header", byteLabels, 64,
                                  {
                                      byte("Log ID", 0, hex),
                                      byte("EOM In Progress", 1),
                                      bytes("Header Size", 2, 3),
                                      bytes("Result Size", 4, 7),
                                      byte("EOM Data Generation Number", 8),
                                      byte("Log Revision", 9),
                                      byte("Optional Data Present", 10, hex),
                                      bit("Printable Eye Present", 0),
                                      bit("Eye Data Present", 1),
                                      byte("Lanes", 11),
                                      byte("Eyes Per Lane", 12),
                                      byte("Log Specific Parameter Field Copy", 13, hex),
                                      byte("Link Information", 14, hex),
                                      reserved(15, 15),
                                      bytes("Log Specific Identifier Copy", 16, 17, hex),
                                      reserved(18, 19),
                                      bytes("Descriptor Size", 20, 23),
                                      bytes("Number of Descriptors", 24, 25),
                                      bytes("Maximum Top Bottom", 26, 27),
                                      bytes("Maximum Left", 28, 29),
                                      reserved(30, 63),
                                  }};
    return table;
}

const FieldTable& eyeOpeningDescriptorTable() {
    static const FieldTable table{"Eye Opening Measurement Descriptor", byteLabels, 32,
                                  {
                                      reserved(0, 0),
                                      byte("Measurement Status", 1),
                                      byte("Lane", 2),
                                      byte("Eye", 3),
                                      bytes("Top", 4, 5),
                                      bytes("Bottom", 6, 7),
                                      bytes("Left", 8, 9),
                                      bytes("Right", 10, 11),
                                      bytes("Number of Rows", 12, 13),
                                      bytes("Number of Columns", 14, 15),
                                      bytes("Eye Data Length", 16, 17),
                                      reserved(18, 31),
                                  }};
    return table;
}

const FieldTable& sanitizeStatusTable() {
    static const FieldTable table{"Sanitize Operation Status Information", byteLabels, 512,
                                  {
                                      bytes("Sanitize Progress (SPROG)", 0, 1),
                                      bytes("Sanitize Status (SSTAT)", 2, 3, hex),
                                      bits("Status of the Most Recent Sanitize Operation", 2, 0),
                                      bits("Overwrite Passes Completed", 7, 3),
                                      bit("Global Data Erased", 8),
                                      bytes("Sanitize Command Dword 10 Information (SCDW10)", 4, 7, hex),
                                      bytes("Estimated Time For Overwrite", 8, 11),
                                      bytes("Estimated Time For Block Erase", 12, 15),
                                      bytes("Estimated Time For Crypto Erase", 16, 19),
                                      bytes("Estimated Time For Overwrite With No-Deallocate", 20, 23),
                                      bytes("Estimated Time For Block Erase With No-Deallocate", 24, 27),
                                      bytes("Estimated Time For Crypto Erase With No-Deallocate", 28, 31),
                                      reserved(32, 511),
                                  }};
    return table;
}

}  // namespace drivekit::features::nvme_get_log::decode
