#pragma once
// Everything the plug-in expects of the host tool, in one place: the drive object and its
// command queues, the record a command returns, the parsed command line and the registry
// into which the plug-in enters its features.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/Command.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"

namespace plugin::cli {
class FeatureBase;
class CommandSpec;
}  // namespace plugin::cli

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

// The command line as the host parsed it: per option, target and property its name and value.
struct ParsedCommand {
    struct Argument {
        std::string name;
        std::string value;
    };
    std::string verb;
    std::string commandName;
    std::vector<Argument> options;
    std::vector<Argument> targets;
    std::vector<Argument> properties;

    // Case-insensitive lookups by name.
    static const Argument* find(const std::vector<Argument>& list, const std::string& name);
    bool hasOption(const std::string& name) const { return find(options, name) != nullptr; }
    bool hasTarget(const std::string& name) const { return find(targets, name) != nullptr; }
    // The value given for the option (or target, or property); empty when absent.
    std::string optionValue(const std::string& name) const;
    std::string targetValue(const std::string& name) const;
    std::string propertyValue(const std::string& name) const;
};

// The host's registry of features; the plug-in fills it, the host owns it.
struct FeatureRegistry {
    std::vector<plugin::cli::FeatureBase*> features;
    std::map<const plugin::cli::CommandSpec*, plugin::cli::FeatureBase*> featureBySpec;
    std::vector<std::shared_ptr<plugin::cli::CommandSpec>> commandSpecs;
};

}  // namespace drivekit::core
