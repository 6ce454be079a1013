#include "drivekit/commands/ata/Command.h"

#include "drivekit/commands/DumpFormat.h"
#include "drivekit/core/Attribute.h"
#include "drivekit/core/HexText.h"

namespace drivekit::commands::ata {

namespace {

constexpr uint8_t lbaAddressing = 0x40;

std::string renderTaskFile(const TaskFile& registers) {
    const std::pair<const char*, uint8_t> lines[] = {
        {"  Feature / Error  : 0x", registers.feature}, {"  Sector Count     : 0x", registers.sectorCount},
        {"  LBA Low          : 0x", registers.lbaLow},  {"  LBA Mid          : 0x", registers.lbaMid},
        {"  LBA High         : 0x", registers.lbaHigh}, {"  Device           : 0x", registers.device},
        {"  Command / Status : 0x", registers.command}, {"  Unused           : 0x", registers.unused},
    };
    std::string text;
    for (const auto& [label, value] : lines) {
        text += dump::valueLine(label, core::strings::hexByte(value), value);
    }
    return text;
}

std::string renderFlags(const CommandFlags& flags) {
    return dump::flagBlock({flags.dataIn, flags.dataOut, flags.dataNone}, {
        {"  Device Diagnostic         : ", flags.deviceDiagnostic},
        {"  DMA                       : ", flags.dma},
        {"  Extended                  : ", flags.extended},
        {"  Ignore Driver Limitations : ", flags.ignoreDriverLimitations},
        {"  Clear Prior Sticky Abort  : ", flags.clearPriorStickyAbort},
    });
}

std::string taskFileBlock(const TaskFile& registers) {
    return core::strings::hexBytes(reinterpret_cast<const uint8_t*>(&registers), sizeof(TaskFile));
}

}  // namespace

Command::Command(std::string name) : core::Command(core::protocols::ata, std::move(name)) {
    current_.device = lbaAddressing;
}

std::unique_ptr<core::Command> Command::clone() const {
    auto copy = std::make_unique<Command>(name());
    copy->copyAtaFields(*this);
    return copy;
}

void Command::copyAtaFields(const Command& other) {
    current_ = other.current_;
    previous_ = other.previous_;
    flags_ = other.flags_;
    transferBlocks = other.transferBlocks;
    reserved = other.reserved;
    copyBaseFields(other);
}

std::string Command::toString() const {
    std::string text = name() + "\n";
    text += "Current Task File:\n" + renderTaskFile(current_);
    if (flags_.extended) {
        text += "Previous Task File:\n" + renderTaskFile(previous_);
    }
    text += renderFlags(flags_);
    return text;
}

std::unique_ptr<core::xml::XmlObject> Command::toXmlObject() const {
    auto object = dump::commandObject(name(), protocol());
    dump::typedProperty(*object, "currentTaskFile", taskFileBlock(current_), core::types::bytePointer);
    dump::typedProperty(*object, "previousTaskFile", taskFileBlock(previous_), core::types::bytePointer);
    dump::typedProperty(*object, "transferBlocks", std::to_string(transferBlocks), core::types::uint32);
    return object;
}

}  // namespace drivekit::commands::ata
