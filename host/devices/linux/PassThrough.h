#pragma once
// The one place where a real drive's commands leave the process: an ioctl on the drive's open
// device node. Tests put a fake in its place and see exactly what the kernel would see.
#include <memory>
#include <string>

#include "drivekit/core/Status.h"

namespace host::linux_drives {

class PassThrough {
public:
    virtual ~PassThrough() = default;
    // The ioctl's return value: negative errno on failure (as the kernel reports it), else
    // what the request returns (for the NVMe admin command: its status field, 0 on success).
    virtual int call(unsigned long request, void* argument) = 0;
    // The device node ("/dev/nvme0"), for messages.
    virtual const std::string& path() const = 0;
};

// What a failed call was: opening the device node, an NVMe admin command or an SG_IO (ATA
// PASS-THROUGH) command. The errno means different things to the user for each.
enum class Request { open, nvmeAdmin, sgIo };

// What a failure's message names: the device node, the command ("Get Log Page") and the bytes
// it moves.
struct RequestContext {
    std::string path;
    Request request = Request::open;
    std::string command;
    uint64_t bytes = 0;
};

// Opens the device node read-write. On failure: null, and status says why ("needs root or
// read-write access to /dev/nvme0" when access is refused).
std::unique_ptr<PassThrough> openPassThrough(const std::string& path, drivekit::core::Status& status);

// The status of a failed open or ioctl, keeping the errno's meaning: access refused (and what
// it needs), the device gone, a time-out, the controller reset under an NVMe command (the
// drive is given up), a transfer the kernel refused, or the system's own wording.
drivekit::core::Status errnoStatus(int error, const RequestContext& context);

}  // namespace host::linux_drives
