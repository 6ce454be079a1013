#pragma once
// The drives the host knows in this run, in the order they were added, and how a user picks
// one with "-ssd": by index, serial number or path.
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"

namespace host {

class DriveList {
public:
    struct Entry {
        std::shared_ptr<drivekit::core::Device> device;
        std::string path;
    };

    void add(std::shared_ptr<drivekit::core::Device> device, std::string path);
    // Opens one simulated drive per profile ("" is the built-in default). Stops at the
    // first profile that cannot be opened and returns its one-line error; "" on success.
    std::string addSimulated(const std::vector<std::string>& profiles);

    const std::vector<Entry>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }

    // A decimal index in range selects by position; otherwise the selector must equal a
    // drive's serial number or its path. Null (and error set) when nothing matches.
    const Entry* select(const std::string& selector, std::string& error) const;

    // "NVMe" or "ATA" (what the drive's protocol support says), "unknown" otherwise.
    static std::string protocolOf(const drivekit::core::Device& device);

    // The table of "show -ssd": index, serial number, model, path, protocol.
    void print(std::ostream& out) const;

private:
    std::vector<Entry> entries_;
};

}  // namespace host
