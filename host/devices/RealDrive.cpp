#include "host/devices/RealDrive.h"

#include <boost/date_time/posix_time/posix_time.hpp>

#include "drivekit/core/logging/Log.h"
#include "host/devices/AdminQueue.h"

namespace host::devices {

namespace core = drivekit::core;

RealDrive::RealDrive(std::string path) : path_(std::move(path)) { queues.push_back(std::make_shared<AdminQueue>()); }

core::CommandResult RealDrive::sendCommand(core::Command& command, const core::Payload& data) {
    return checkedExecute(command, &data);
}

core::CommandResult RealDrive::sendCommand(core::Command& command) { return checkedExecute(command, nullptr); }

core::CommandResult RealDrive::checkedExecute(core::Command& command, const core::Payload* data) {
    const auto start = boost::posix_time::microsec_clock::local_time();
    core::CommandResult result;
    if (!isProtocolSupported(command.protocol())) {
        result.status = core::Status::commandSetNotSupported();
    } else if (!attached()) {
        result.status = core::Status::custom();
        result.status.setMessage(path_ + " is not open.");
    } else if (const core::Status refused = admit(command); !refused.isSuccess()) {
        result.status = refused;
    } else {
        result = execute(command, data);
    }
    if (!result.status.isSuccess()) {
        LOG_DEBUG(command.name() << ": " << result.status.message());
    }
    result.startTime = start;
    result.endTime = boost::posix_time::microsec_clock::local_time();
    return result;
}

}  // namespace host::devices
