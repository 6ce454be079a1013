#pragma once
// The vendor-specific exchange: a descriptor sent with opcode 0xF1 names what the host wants,
// and a receive with opcode 0xF2 carrying the same code and sequence number reads the answer.
#include <cstdint>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"

namespace plugin::cli::vsc {

class VscDevice {
public:
    static constexpr uint8_t descriptorOpcode = 0xF1;
    static constexpr uint8_t receiveOpcode = 0xF2;
    // Set in the code of every descriptor that a receive follows.
    static constexpr uint32_t receiveCodeBits = 0x83000000;

    VscDevice(drivekit::core::Device& device, uint32_t namespaceId) : device_(device), namespaceId_(namespaceId) {}

    void sendDescriptor(drivekit::core::Status& status, uint32_t code, const drivekit::core::Payload& descriptor);
    void receive(drivekit::core::Status& status, uint32_t code, const drivekit::core::Payload& descriptor,
                 drivekit::core::Payload& data, uint32_t dwords);

    // The sequence number of the last descriptor sent by any channel of this process.
    static uint16_t sequenceNumber();

private:
    // The descriptor and the receive that reads its answer.
    void exchange(drivekit::core::Status& status, uint32_t wireCode, const drivekit::core::Payload& descriptor,
                  drivekit::core::Payload& data, uint32_t dwords);

    drivekit::core::Device& device_;
    uint32_t namespaceId_;
};

}  // namespace plugin::cli::vsc
