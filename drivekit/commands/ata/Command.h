#pragma once
// An ATA command as a task-file image, protocol flags and a length in 512-byte blocks.
#include <cstdint>

#include "drivekit/commands/ata/TaskFile.h"
#include "drivekit/core/Command.h"

namespace drivekit::commands::ata {

struct CommandFlags {
    bool dataIn = false;
    bool dataOut = false;
    bool dataNone = false;
    bool deviceDiagnostic = false;
    bool dma = false;
    bool extended = false;
    bool ignoreDriverLimitations = false;
    bool clearPriorStickyAbort = true;
};

class Command : public core::Command {
public:
    explicit Command(std::string name = {});

    std::unique_ptr<core::Command> clone() const override;
    std::string toString() const override;
    std::unique_ptr<core::xml::XmlObject> toXmlObject() const override;
    // Copies the task files, flags, transfer length and reserved value, then the base fields.
    virtual void copyAtaFields(const Command& other);

    TaskFile& current() { return current_; }
    const TaskFile& current() const { return current_; }
    TaskFile& previous() { return previous_; }
    const TaskFile& previous() const { return previous_; }
    CommandFlags& flags() { return flags_; }
    const CommandFlags& flags() const { return flags_; }

    uint32_t transferBlocks = 0;
    uint64_t reserved = 0;

private:
    TaskFile current_{};
    TaskFile previous_{};
    CommandFlags flags_;
};

}  // namespace drivekit::commands::ata
