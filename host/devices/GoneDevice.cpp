#include "host/devices/GoneDevice.h"

namespace host::devices {

drivekit::core::Status goneDeviceStatus(const std::string& path, const std::string& cause, const std::string& what) {
    drivekit::core::Status status = drivekit::core::Status::deviceGone();
    status.setMessage(path + " is gone (" + cause + ") while " + what + ".");
    return status;
}

}  // namespace host::devices
