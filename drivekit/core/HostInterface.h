#pragma once
// What the device library expects of the host tool's drives, in one place: the drive object
// and its command queues, and the record a command returns.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/Command.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"

namespace drivekit::core {

// Protocol data that a driver returns beside the data (for NVMe: the completion entry).
class ProtocolResult {
public:
    explicit ProtocolResult(Payload data = {}) : data_(std::move(data)) {}
    virtual ~ProtocolResult() = default;
    const Payload& data() const { return data_; }

private:
    Payload data_;
};

// Placeholder base for the owned pointers of a result that the plug-in only carries.
class ResultExtension {
public:
    virtual ~ResultExtension() = default;
};

// What one device call returns. Built empty by the caller, filled by the device.
struct CommandResult {
    std::unique_ptr<ResultExtension> owner;
    Status status;
    Payload firstPayload;
    Payload data;
    std::unique_ptr<ProtocolResult> protocolResult;
    std::unique_ptr<ResultExtension> second;
    boost::posix_time::ptime startTime{boost::posix_time::not_a_date_time};
    boost::posix_time::ptime endTime{boost::posix_time::not_a_date_time};
    std::unique_ptr<ResultExtension> further;
    uint32_t value = 0;
};

// A command queue of a drive; its time-out is kept in nanoseconds.
class CommandQueue {
public:
    virtual ~CommandQueue() = default;
    virtual uint64_t timeoutNanoseconds() const = 0;
    virtual void setTimeout(uint64_t nanoseconds) = 0;
};

// A drive, supplied by the host. The plug-in reads `attributes` directly.
class Device {
public:
    AttributeCollection attributes;

    virtual ~Device() = default;
    // "NVME", "ATA" or "SMART".
    virtual bool isProtocolSupported(const std::string& protocol) const = 0;
    // Sends a command together with a data buffer (Get Log Page, Set Features with data).
    virtual CommandResult sendCommand(Command& command, const Payload& data) = 0;
    virtual CommandResult sendCommand(Command& command) = 0;

    // The first queue's time-out in seconds; -1 without a queue.
    int64_t commandTimeoutSeconds() const;
    // Sets every queue's time-out.
    void setCommandTimeoutSeconds(uint64_t seconds);

    std::vector<std::shared_ptr<CommandQueue>> queues;

    // The first command that found the drive gone, kept so that the run can say its files
    // stop there; success while the drive is present.
    const Status& goneStatus() const { return gone_; }
    void markGone(const Status& status) {
        if (gone_.isSuccess()) {
            gone_ = status;
        }
    }

private:
    Status gone_;
};

inline int64_t Device::commandTimeoutSeconds() const {
    if (queues.empty() || !queues.front()) {
        return -1;
    }
    return static_cast<int64_t>(queues.front()->timeoutNanoseconds() / 1000000000ULL);
}

inline void Device::setCommandTimeoutSeconds(uint64_t seconds) {
    for (auto& queue : queues) {
        if (queue) {
            queue->setTimeout(seconds * 1000000000ULL);
        }
    }
}

}  // namespace drivekit::core
