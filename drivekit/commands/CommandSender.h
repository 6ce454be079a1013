#pragma once
// Sends one command to a drive and turns the device's answer into the caller's status,
// the way every caller must: the protocol is checked first, success is exactly the
// success status, and a failed command leaves the caller's data untouched but no
// completion value: completionValue never answers with an earlier command's dword 0.
#include <cstdint>

#include "drivekit/core/HostInterface.h"

namespace drivekit::commands {

class CommandSender {
public:
    explicit CommandSender(core::Device& device) : device_(device) {}

    // The plain send operation (Identify, Get Features, ATA commands).
    core::Status send(core::Command& command);
    // The send operation with a data buffer (Get Log Page, Set Features with data).
    core::Status send(core::Command& command, const core::Payload& buffer);

    // The data of the last successful command (shared with the device's result).
    const core::Payload& data() const { return data_; }
    // The protocol result of the last command when it succeeded; empty when it failed or
    // the device gave none.
    const core::Payload& protocolData() const { return protocolData_; }
    bool hasProtocolResult() const { return hasProtocolResult_; }

    // Dword 0 of the NVMe completion entry (the value of Get and Set Features);
    // "No protocol result data was returned from the driver." when there is none.
    core::Status completionValue(uint32_t& value) const;
    // "The IO command passed, but did not return the expected amount of data." when
    // fewer than `bytes` came back.
    core::Status requireData(uint64_t bytes) const;

private:
    template <typename Send>
    core::Status sendWith(core::Command& command, Send send);

    core::Device& device_;
    core::Payload data_;
    core::Payload protocolData_;
    bool hasProtocolResult_ = false;
};

}  // namespace drivekit::commands
