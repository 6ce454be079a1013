#include "host/devices/win/SystemErrorStatus.h"

#include "host/devices/GoneDevice.h"

namespace host::win_drives {

namespace core = drivekit::core;

namespace {

core::Status withMessage(core::Status status, const std::string& message) {
    status.setMessage(message);
    return status;
}

// "system error 5", with the code's name when it is one this program tells apart.
std::string describe(uint32_t error) {
    const char* name = nullptr;
    switch (error) {
        case system_errors::invalidFunction: name = "ERROR_INVALID_FUNCTION"; break;
        case system_errors::fileNotFound: name = "ERROR_FILE_NOT_FOUND"; break;
        case system_errors::pathNotFound: name = "ERROR_PATH_NOT_FOUND"; break;
        case system_errors::accessDenied: name = "ERROR_ACCESS_DENIED"; break;
        case system_errors::notReady: name = "ERROR_NOT_READY"; break;
        case system_errors::generalFailure: name = "ERROR_GEN_FAILURE"; break;
        case system_errors::notSupported: name = "ERROR_NOT_SUPPORTED"; break;
        case system_errors::invalidParameter: name = "ERROR_INVALID_PARAMETER"; break;
        case system_errors::semaphoreTimeout: name = "ERROR_SEM_TIMEOUT"; break;
        case system_errors::insufficientBuffer: name = "ERROR_INSUFFICIENT_BUFFER"; break;
        case system_errors::noSuchDevice: name = "ERROR_NO_SUCH_DEVICE"; break;
        case system_errors::ioDevice: name = "ERROR_IO_DEVICE"; break;
        case system_errors::deviceNotConnected: name = "ERROR_DEVICE_NOT_CONNECTED"; break;
        case system_errors::timeout: name = "ERROR_TIMEOUT"; break;
        default: break;
    }
    const std::string code = "system error " + std::to_string(error);
    return name ? code + " (" + name + ")" : code;
}

}  // namespace

core::Status systemErrorStatus(uint32_t error, const std::string& path, const std::string& what) {
    switch (error) {
        case system_errors::accessDenied:
            // Said as the refused open of a device node is said on every platform: what is needed.
            return withMessage(core::Status::accessRefused(), "needs administrator rights for " + path);
        case system_errors::fileNotFound:
        case system_errors::pathNotFound:
        case system_errors::noSuchDevice:
        case system_errors::deviceNotConnected: return devices::goneDeviceStatus(path, describe(error), what);
        case system_errors::semaphoreTimeout:
        case system_errors::timeout:
            return withMessage(core::Status::commandTimedOut(),
                               path + " did not answer within the command time-out while " + what + ".");
        case system_errors::invalidFunction:
        case system_errors::notSupported:
            // The storage driver does not take this request at all; the drive never saw it.
            return withMessage(core::Status::commandSetNotSupported(),
                               "The storage driver of " + path + " does not support " + what + " (" +
                                   describe(error) + ").");
        case system_errors::invalidParameter:
            return withMessage(core::Status::transferRefused(),
                               "The storage driver of " + path + " refused " + what + " (" + describe(error) +
                                   "); the drive was not sent the command.");
        default: break;
    }
    return withMessage(core::Status::systemError(), path + ": " + describe(error) + " while " + what + ".");
}

}  // namespace host::win_drives
