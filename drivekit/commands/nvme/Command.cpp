#include "drivekit/commands/nvme/Command.h"

#include <cstring>
#include <vector>

#include "drivekit/commands/DumpFormat.h"
#include "drivekit/core/Attribute.h"
#include "drivekit/core/HexText.h"
#include "drivekit/core/LittleEndian.h"

namespace drivekit::commands::nvme {

namespace {

// One line of the entry dump: `bytes` little-endian bytes at `offset`, then bits
// [shift, shift + bits) of that value (bits 0: the whole value).
struct EntryField {
    const char* label;
    uint8_t offset;
    uint8_t bytes;
    uint8_t shift;
    uint8_t bits;
};

const std::vector<EntryField>& entryFields() {
    static const std::vector<EntryField> fields = {
        {"  DWord 0:           0x", 0, 4, 0, 0},
        {"    OPC:             0x", 0, 4, 0, 8},
        {"    FUSE:            0x", 0, 4, 8, 2},
        {"    Reserved:        0x", 0, 4, 10, 4},
        {"    PSDT:            0x", 0, 4, 14, 2},
        {"    CID:             0x", 0, 4, 16, 16},
        {"  DWord 1 (NSID):    0x", 4, 4, 0, 0},
        {"  Reserved:          0x", 8, 8, 0, 0},
        {"    DWord 2 (RSVD):  0x", 8, 4, 0, 0},
        {"    DWord 3 (RSVD):  0x", 12, 4, 0, 0},
        {"  Metadata Pointer:  0x", 16, 8, 0, 0},
        {"    DWord 4 (MPTR):  0x", 16, 4, 0, 0},
        {"    DWord 5 (MPTR):  0x", 20, 4, 0, 0},
        {"  PRP Entry 1:       0x", 24, 8, 0, 0},
        {"    DWord 6 (PRP1):  0x", 24, 4, 0, 0},
        {"    DWord 7 (PRP1):  0x", 28, 4, 0, 0},
        {"  PRP Entry 2:       0x", 32, 8, 0, 0},
        {"    DWord 8 (PRP2):  0x", 32, 4, 0, 0},
        {"    DWord 9 (PRP2):  0x", 36, 4, 0, 0},
        {"  DWord 10 (NDP):    0x", 40, 4, 0, 0},
        {"  DWord 11 (NDM):    0x", 44, 4, 0, 0},
        {"  DWord 12:          0x", 48, 4, 0, 0},
        {"  DWord 13:          0x", 52, 4, 0, 0},
        {"  DWord 14:          0x", 56, 4, 0, 0},
        {"  DWord 15:          0x", 60, 4, 0, 0},
    };
    return fields;
}

uint64_t readField(const uint8_t* bytes, const EntryField& field) {
    uint64_t value = core::readLittleEndian(bytes + field.offset, field.bytes);
    if (field.bits != 0) {
        value = (value >> field.shift) & ((1ULL << field.bits) - 1);
    }
    return value;
}

std::string renderEntry(const uint8_t* bytes) {
    std::string text;
    for (const auto& field : entryFields()) {
        const uint64_t value = readField(bytes, field);
        text += dump::valueLine(field.label, dump::hexValue(value), value);
    }
    return text;
}

std::string renderFlags(const CommandFlags& flags) {
    return dump::flagBlock({flags.dataIn, flags.dataOut, flags.dataNone}, {
        {"  Data Bi   (In and Out)    : ", flags.dataBi},
        {"  Admin                     : ", flags.admin},
        {"  Asynchronous              : ", flags.asynchronous},
    });
}

}  // namespace

Command::Command(std::string name) : QueueableCommand(core::protocols::nvme, std::move(name)) {}

std::unique_ptr<core::Command> Command::clone() const {
    auto copy = std::make_unique<Command>(name());
    copy->entry_ = entry_;
    copy->flags_ = flags_;
    copy->transferBlocks = transferBlocks;
    copy->transferBytes = transferBytes;
    copy->submissionQueueId = submissionQueueId;
    copy->copyQueueingFields(*this);  // also copies the protocol and the name
    return copy;
}

std::string Command::toString() const {
    uint8_t bytes[sizeof(SubmissionEntry)];
    std::memcpy(bytes, &entry_, sizeof(bytes));
    std::string text = name() + "\n";
    text += dump::hexDump(bytes, sizeof(bytes)) + "\n";
    text += flags_.admin ? "Admin Command Set:\n" : "NVM Command Set:\n";
    text += renderEntry(bytes);
    text += renderFlags(flags_);
    return text;
}

std::unique_ptr<core::xml::XmlObject> Command::toXmlObject() const {
    uint8_t bytes[sizeof(SubmissionEntry)];
    std::memcpy(bytes, &entry_, sizeof(bytes));
    auto object = dump::commandObject(name(), protocol());
    dump::typedProperty(*object, "nvmeCmd", core::strings::hexBytes(bytes, sizeof(bytes)), core::types::bytePointer);
    dump::typedProperty(*object, "transferBlocks", std::to_string(transferBlocks), core::types::uint32);
    dump::typedProperty(*object, "transferBytes", std::to_string(transferBytes), core::types::uint64);
    dump::typedProperty(*object, "submissionQueueId", std::to_string(submissionQueueId), core::types::uint16);
    return object;
}

}  // namespace drivekit::commands::nvme
