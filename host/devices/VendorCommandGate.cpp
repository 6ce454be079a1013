#include "host/devices/VendorCommandGate.h"

#include <algorithm>

#include "drivekit/commands/nvme/Command.h"
#include "drivekit/core/logging/Log.h"

namespace host::devices {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;

namespace {

// The maker's Performance Debug Log mode; the other features are sent as asked.
constexpr uint8_t makersFeatureId = 0xFA;

}  // namespace

std::string VendorCommandGate::vendorCommandName(const core::Command& command) {
    if (command.protocol() != core::protocols::nvme) {
        return {};
    }
    // Every NVMe command of the host goes down the admin queue, whatever its flags say.
    const nvme::SubmissionEntry& entry = static_cast<const nvme::Command&>(command).entry();
    switch (entry.opcode()) {
        case nvme::opcodes::vendorSend: return "Vendor Send (0xF1)";
        case nvme::opcodes::vendorReceive: return "Vendor Receive (0xF2)";
        case nvme::opcodes::setFeatures:
            return (entry.cdw10 & 0xFF) == makersFeatureId ? "Set Features 0xFA" : std::string();
        default: return {};
    }
}

core::Status VendorCommandGate::admit(const core::Command& command) {
    if (!closed_) {
        return core::Status::success();
    }
    const std::string name = vendorCommandName(command);
    if (name.empty()) {
        return core::Status::success();
    }
    if (std::find(refused_.begin(), refused_.end(), name) == refused_.end()) {
        refused_.push_back(name);
    }
    LOG_INFO("Not sent to another maker's drive: " << name);
    core::Status refusal = core::Status::featureNotSupportedByDrive();
    refusal.setMessage(name + " is the maker's own command and is not sent to another maker's drive "
                              "without --vendor-commands.");
    return refusal;
}

}  // namespace host::devices
