#include "drivekit/commands/CommandFields.h"

#include "drivekit/commands/ata/Command.h"
#include "drivekit/commands/nvme/Command.h"

namespace drivekit::commands {

namespace {

constexpr uint8_t getLogPage = 0x02;
constexpr uint8_t identify = 0x06;
constexpr uint8_t setFeatures = 0x09;
constexpr uint8_t getFeatures = 0x0A;

void describeLogRead(const nvme::SubmissionEntry& entry, core::CommandJournal::Command& record) {
    const uint64_t dwords = ((uint64_t{entry.cdw11} & 0xFFFF) << 16 | entry.cdw10 >> 16) + 1;
    const uint64_t offset = uint64_t{entry.cdw13} << 32 | entry.cdw12;
    const uint32_t lid = entry.cdw10 & 0xFF;
    const uint32_t lsi = entry.cdw11 >> 16;
    record.fields.insert(record.fields.end(), {{"lid", lid},
                                               {"lsp", (entry.cdw10 >> 8) & 0x7F},
                                               {"lsi", lsi},
                                               {"firstByte", offset},
                                               {"lastByte", offset + dwords * 4 - 1}});
    record.key = "log " + std::to_string(lid) + "/" + std::to_string(lsi) + "/" + std::to_string(entry.nsid);
}

// The entry is packed: its fields are copied, never bound by reference.
void describeNvme(const nvme::SubmissionEntry& entry, core::CommandJournal::Command& record) {
    record.fields = {{"opcode", entry.opcode()}, {"nsid", uint64_t{entry.nsid}}};
    switch (entry.opcode()) {
        case getLogPage:
            describeLogRead(entry, record);
            break;
        case identify:
            record.fields.insert(record.fields.end(), {{"cns", entry.cdw10 & 0xFF}, {"cntid", entry.cdw10 >> 16}});
            record.key = "identify " + std::to_string(entry.cdw10) + "/" + std::to_string(entry.nsid);
            break;
        case setFeatures:
        case getFeatures:
            record.fields.insert(record.fields.end(), {{"fid", entry.cdw10 & 0xFF}, {"cdw11", uint64_t{entry.cdw11}}});
            break;
        default:
            record.fields.insert(record.fields.end(),
                                 {{"cdw10", uint64_t{entry.cdw10}}, {"cdw11", uint64_t{entry.cdw11}}});
            record.key = "nvme " + std::to_string(entry.opcode());
    }
}

void describeAta(const ata::TaskFile& registers, core::CommandJournal::Command& record) {
    record.fields = {{"command", registers.command},
                     {"feature", registers.feature},
                     {"count", registers.sectorCount},
                     {"lba", uint64_t{registers.lbaHigh} << 16 | uint64_t{registers.lbaMid} << 8 | registers.lbaLow}};
    record.key = "ata " + std::to_string(registers.command) + "/" + std::to_string(registers.feature) + "/" +
                 std::to_string(registers.lbaLow);
}

}  // namespace

core::CommandJournal::Command commandFields(const core::Command& command) {
    core::CommandJournal::Command record;
    record.protocol = command.protocol();
    record.name = command.name();
    if (const auto* nvmeCommand = dynamic_cast<const nvme::Command*>(&command)) {
        describeNvme(nvmeCommand->entry(), record);
    } else if (const auto* ataCommand = dynamic_cast<const ata::Command*>(&command)) {
        describeAta(ataCommand->current(), record);
    } else {
        record.key = record.protocol + " " + record.name;
    }
    return record;
}

}  // namespace drivekit::commands
