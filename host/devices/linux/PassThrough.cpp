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

    int call(unsigned long request, void* argument) override {
        int result;
        do {
            result = ::ioctl(fd_, request, argument);
        } while (result < 0 && errno == EINTR);
        return result < 0 ? -errno : result;
    }
    const std::string& path() const override { return path_; }

private:
    int fd_;
    std::string path_;
};

}  // namespace

core::Status errnoStatus(int error, const std::string& path, const std::string& what) {
    core::Status status;
    switch (error) {
        case EACCES:
        case EPERM:
            status = core::Status::custom();
            status.setMessage("needs root or read-write access to " + path);
            break;
        case ENODEV:
        case ENXIO:
        case ENOENT:
            status = devices::goneDeviceStatus(path, std::strerror(error), what);
            break;
        case ETIMEDOUT:
            status = core::Status::commandTimedOut();
            status.setMessage(path + " did not answer within the command time-out while " + what + ".");
            break;
        default:
            status = core::Status::custom();
            status.setMessage(path + ": " + std::strerror(error) + " while " + what + ".");
            break;
    }
    return status;
}

bool isAccessDenied(int error) { return error == EACCES || error == EPERM; }

std::unique_ptr<PassThrough> openPassThrough(const std::string& path, core::Status& status, int& error) {
    // Pass-through commands need a read-write descriptor; O_NONBLOCK keeps a removable
    // SCSI device without a medium from blocking the open.
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        status = errnoStatus(error, path, "opening it");
        return nullptr;
    }
    error = 0;
    status = core::Status::success();
    return std::make_unique<DeviceNode>(fd, path);
}

}  // namespace host::linux_drives
