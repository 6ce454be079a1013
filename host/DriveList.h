#pragma once
// The drives the host knows in this run, in the order they were added, and how a user picks
// one with "-ssd": by index, serial number or path.
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "host/devices/OpenOutcome.h"

namespace host {

class DriveList {
public:
    using OpenOutcome = host::OpenOutcome;
    struct Entry {
        std::shared_ptr<drivekit::core::Device> device;
        std::string path;
        // A real drive is listed from sysfs and opened only when a command selects it;
        // empty for a simulated drive, which is ready from the start.
        std::function<OpenOutcome()> open;
        // How a real drive is attached, as the list shows it ("pcie, live"); empty for a
        // simulated drive.
        std::string attachment{};
        // Why the drive is listed but never read ("not supported (USB bridge)"); empty when it is.
        std::string unsupported{};
        // False for a drive that "-ssd <index>" does not pick; its path or serial number does.
        bool selectableByIndex = true;
    };

    void add(std::shared_ptr<drivekit::core::Device> device, std::string path,
             std::function<OpenOutcome()> open = {});
    void add(Entry entry);
    // Opens one simulated drive per profile ("" is the built-in default). Stops at the
    // first profile that cannot be opened and returns its one-line error; "" on success.
    std::string addSimulated(const std::vector<std::string>& profiles);
    // The drives of this machine that the platform's device layer finds (on Linux the NVMe
    // controllers and SATA disks that sysfs lists).
    void addSystemDrives();

    const std::vector<Entry>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }

    // A decimal index in range selects by position (unless the drive there is not picked by
    // index); otherwise the selector must equal a drive's serial number or its path. Null (and
    // error set) when nothing matches, or when the drive matched is not supported.
    const Entry* select(const std::string& selector, std::string& error) const;
    // When the selector is an index that selects a drive: "drive 0 is /dev/nvme0 (serial S,
    // model M)", since an index names another drive after the next boot; "" otherwise.
    std::string indexNotice(const std::string& selector) const;

    static std::string serialNumberOf(const drivekit::core::Device& device);
    static std::string modelOf(const drivekit::core::Device& device);
    // "NVMe" or "ATA" (what the drive's protocol support says), "unknown" otherwise.
    static std::string protocolOf(const drivekit::core::Device& device);

    // The table of "show -ssd": index, serial number, model, path, protocol, and the
    // attachment when a listed drive has one.
    void print(std::ostream& out) const;

private:
    // The entry a decimal selector names by position; null when it names none.
    const Entry* byIndex(const std::string& selector) const;

    std::vector<Entry> entries_;
};

}  // namespace host
