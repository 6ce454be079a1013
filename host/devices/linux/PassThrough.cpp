#include "host/devices/linux/PassThrough.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "host/devices/GoneDevice.h"

namespace host::linux_drives {

namespace core = drivekit::core;

namespace {

class DeviceNode : public PassThrough {
public:
    DeviceNode(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~DeviceNode() override { ::close(fd_); }
    DeviceNode(const DeviceNode&) = delete;
    DeviceNode& operator=(const DeviceNode&) = delete;

    // Never repeated on EINTR: the NVMe and SG_IO ioctls wait for their command without
    // being interruptible, so EINTR is the kernel cancelling the command (after a controller
    // reset), and sending it again would go to a controller that was just reset.
    int call(unsigned long request, void* argument) override {
        const int result = ::ioctl(fd_, request, argument);
        return result < 0 ? -errno : result;
    }
    const std::string& path() const override { return path_; }

private:
    int fd_;
    std::string path_;
};

}  // namespace

namespace {

const char* errnoName(int error) {
    switch (error) {
        case EPERM: return "EPERM";
        case ENOENT: return "ENOENT";
        case EINTR: return "EINTR";
        case EIO: return "EIO";
        case ENXIO: return "ENXIO";
        case ENOMEM: return "ENOMEM";
        case EACCES: return "EACCES";
        case EFAULT: return "EFAULT";
        case EBUSY: return "EBUSY";
        case ENODEV: return "ENODEV";
        case EINVAL: return "EINVAL";
        case ENOTTY: return "ENOTTY";
        case ETIMEDOUT: return "ETIMEDOUT";
        default: return nullptr;
    }
}

// "Permission denied (EACCES)", or "... (errno 121)" for one without a name here.
std::string describe(int error) {
    const char* name = errnoName(error);
    return std::string(std::strerror(error)) + " (" + (name ? name : "errno " + std::to_string(error)) + ")";
}

core::Status withMessage(core::Status status, const std::string& message) {
    status.setMessage(message);
    return status;
}

core::Status accessStatus(int error, const RequestContext& context) {
    switch (context.request) {
        case Request::open:
            return withMessage(core::Status::accessRefused(), "needs root or read-write access to " + context.path);
        case Request::sgIo:
            // The kernel gives ATA PASS-THROUGH only to a process with CAP_SYS_RAWIO.
            return withMessage(core::Status::accessRefused(), "needs root (CAP_SYS_RAWIO) for " + context.path);
        case Request::nvmeAdmin: break;
    }
    // Since Linux 6.2 a process without CAP_SYS_ADMIN may send a few Identify commands and
    // nothing else, even on a device node it opened read-write.
    return withMessage(core::Status::accessRefused(),
                       context.command + " on " + context.path + " was refused by the kernel: " + describe(error) +
                           "; NVMe admin commands other than Identify need root (CAP_SYS_ADMIN)");
}

}  // namespace

core::Status errnoStatus(int error, const RequestContext& context) {
    const std::string& path = context.path;
    const std::string what = context.request == Request::open ? "opening it" : "sending " + context.command;
    switch (error) {
        case EACCES:
        case EPERM: return accessStatus(error, context);
        case ENODEV:
        case ENXIO:
        case ENOENT: return devices::goneDeviceStatus(path, std::strerror(error), what);
        case ETIMEDOUT:
            return withMessage(core::Status::commandTimedOut(),
                               path + " did not answer within the command time-out while " + what + ".");
        case EINTR:
            if (context.request == Request::nvmeAdmin) {
                // The command outlived the kernel's time-out: the kernel reset the controller and
                // cancelled it. Nothing more is sent to a controller in that state.
                return withMessage(core::Status::deviceGone(),
                                   context.command + " on " + path +
                                       " did not complete within the command time-out; the kernel reset the "
                                       "controller and cancelled the command (EINTR). " +
                                       path + " is given up for the rest of this run.");
            }
            break;
        case EINVAL:
            if (context.request != Request::open) {
                return withMessage(core::Status::transferRefused(),
                                   "The kernel refused " + context.command + " on " + path + " with a transfer of " +
                                       std::to_string(context.bytes) + " bytes: " + describe(error) +
                                       "; the drive was not sent the command.");
            }
            break;
        default: break;
    }
    return withMessage(core::Status::systemError(), path + ": " + describe(error) + " while " + what + ".");
}

std::unique_ptr<PassThrough> openPassThrough(const std::string& path, core::Status& status) {
    // Pass-through commands need a read-write descriptor; O_NONBLOCK keeps a removable
    // SCSI device without a medium from blocking the open.
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        status = errnoStatus(errno, {path, Request::open, "", 0});
        return nullptr;
    }
    status = core::Status::success();
    return std::make_unique<DeviceNode>(fd, path);
}

}  // namespace host::linux_drives
