#pragma once
// A command that can be put on a device queue; the queueing fields are carried, not interpreted.
#include <cstdint>

#include "drivekit/core/Command.h"
#include "drivekit/core/Payload.h"

namespace drivekit::core {

struct QueueingFields {
    uint64_t first = 0;
    uint64_t second = 0;
    uint32_t third = 0;
    Payload payload;
    uint32_t fourth = 0;
    uint32_t fifth = 0;
    double sixth = 0.0;
    uint32_t seventh = 0;
};

class QueueableCommand : public Command {
public:
    using Command::Command;

    virtual void copyQueueingFields(const QueueableCommand& other) {
        queueing_ = other.queueing_;
        copyBaseFields(other);
    }
    const QueueingFields& queueing() const { return queueing_; }
    QueueingFields& queueing() { return queueing_; }

private:
    QueueingFields queueing_;
};

}  // namespace drivekit::core
