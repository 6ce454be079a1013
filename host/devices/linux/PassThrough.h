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

// Opens the device node read-write. On failure: null, status holds the clear message ("needs
// root or read-write access to /dev/nvme0" when access is refused) and error the errno.
std::unique_ptr<PassThrough> openPassThrough(const std::string& path, drivekit::core::Status& status, int& error);

// The status of a failed open or ioctl, from its errno: access refused, the device gone, a
// time-out, or the system's own wording.
drivekit::core::Status errnoStatus(int error, const std::string& path, const std::string& what);

// The errno says that the user may not open the device.
bool isAccessDenied(int error);

}  // namespace host::linux_drives
