#pragma once
// What keeps the maker's own commands away from another maker's drive: the vendor-specific
// admin opcodes 0xF1 and 0xF2 and Set Features 0xFA mean something else, or nothing, to another
// firmware. A drive of the host is a gate, consulted before each command is sent; it lets
// everything through until the host closes it (--as-maker on a foreign drive without
// --vendor-commands), and remembers what it refused so that the run can say which steps it
// skipped.
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Status.h"

namespace host::devices {

class VendorCommandGate {
public:
    virtual ~VendorCommandGate() = default;

    // From now on the maker's own commands are refused.
    void closeToVendorCommands() { closed_ = true; }

    // Success, or the refusal of a command that must not be sent: a status the collectors take
    // as a drive that does not support the command, naming the command and the option.
    drivekit::core::Status admit(const drivekit::core::Command& command);

    // The names of the commands refused, each once, in the order first refused.
    const std::vector<std::string>& refusedCommands() const { return refused_; }

    // "Vendor Send (0xF1)", "Vendor Receive (0xF2)" or "Set Features 0xFA" for one of the maker's
    // own NVMe admin commands; "" for any other command.
    static std::string vendorCommandName(const drivekit::core::Command& command);

private:
    bool closed_ = false;
    std::vector<std::string> refused_;
};

}  // namespace host::devices
