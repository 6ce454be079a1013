#pragma once
// An NVMe command: the submission entry, the transfer direction flags and the transfer size.
#include <cstdint>

#include "drivekit/commands/nvme/SubmissionEntry.h"
#include "drivekit/core/QueueableCommand.h"

namespace drivekit::commands::nvme {

struct CommandFlags {
    bool dataIn = false;
    bool dataOut = false;
    bool dataNone = false;
    bool dataBi = false;
    bool admin = false;
    bool asynchronous = false;
};

class Command : public core::QueueableCommand {
public:
    explicit Command(std::string name = {});

    std::unique_ptr<core::Command> clone() const override;
    std::string toString() const override;
    std::unique_ptr<core::xml::XmlObject> toXmlObject() const override;

    SubmissionEntry& entry() { return entry_; }
    const SubmissionEntry& entry() const { return entry_; }
    CommandFlags& flags() { return flags_; }
    const CommandFlags& flags() const { return flags_; }
    void setNamespaceId(uint32_t namespaceId) { entry_.nsid = namespaceId; }

    uint32_t transferBlocks = 0;
    uint64_t transferBytes = 0;
    uint16_t submissionQueueId = 0;

private:
    SubmissionEntry entry_{};
    CommandFlags flags_;
};

}  // namespace drivekit::commands::nvme
