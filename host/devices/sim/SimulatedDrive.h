#pragma once
// A drive of the host that answers NVMe admin and ATA commands from a profile, the way a real
// controller does: identify structures, log pages, features, the vendor channel, SMART sectors,
// a replay folder served byte for byte, and faults injected on matching commands.
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "host/devices/VendorCommandGate.h"
#include "host/devices/sim/SimDriveState.h"
#include "host/devices/sim/SimFaultSet.h"
#include "host/devices/sim/SimProfile.h"
#include "host/devices/sim/SimReplay.h"
#include "host/devices/sim/SimResponse.h"

namespace drivekit::commands::nvme {
struct SubmissionEntry;
}

namespace host::sim {

class SimulatedDrive : public drivekit::core::Device, public devices::VendorCommandGate {
public:
    explicit SimulatedDrive(SimProfile profile);

    bool isProtocolSupported(const std::string& protocol) const override;
    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command,
                                              const drivekit::core::Payload& data) override;
    drivekit::core::CommandResult sendCommand(drivekit::core::Command& command) override;

    // The drive's path as the host shows it and selects it ("sim:<profile>" unless the
    // profile names one).
    std::string path() const;
    // The profile's name: a built-in name or the profile file's path.
    const std::string& name() const { return profile_.name; }
    const SimProfile& profile() const { return profile_; }

private:
    drivekit::core::CommandResult execute(drivekit::core::Command& command,
                                          const drivekit::core::Payload* data);
    // The time-out the first command queue holds, in nanoseconds.
    uint64_t commandTimeout() const;
    SimResponse executeNvme(const drivekit::commands::nvme::SubmissionEntry& entry, uint64_t transferBytes,
                            const drivekit::core::Payload* data, uint64_t timeoutNanoseconds);
    SimResponse executeAta(const drivekit::core::Command& command);
    SimResponse getLogPage(const drivekit::commands::nvme::SubmissionEntry& entry);
    SimResponse identify(const drivekit::commands::nvme::SubmissionEntry& entry);

    SimProfile profile_;
    SimDriveState state_;
    SimReplay replay_;
    SimFaultSet faults_;
};

// A built-in profile name ("varnholt-nvme", "kestrova-nvme", "kestrova-sata", "other-nvme")
// or a path to a profile file. On failure: null, and error holds ONE line naming the file
// and the problem.
std::shared_ptr<SimulatedDrive> openSimulatedDrive(const std::string& nameOrPath, std::string& error);

// The profile a bare --sim uses.
inline const std::string defaultProfileName = "varnholt-nvme";

// Names of the built-in profiles, in a fixed order.
std::vector<std::string> builtInProfileNames();

// Appends one line per command that any simulated drive receives ("" turns it off).
void setTraceFile(const std::string& path);

}  // namespace host::sim
