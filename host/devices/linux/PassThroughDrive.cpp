#include "host/devices/linux/PassThroughDrive.h"

#include <algorithm>
#include <limits>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "drivekit/core/logging/Log.h"
#include "host/devices/AdminQueue.h"

namespace host::linux_drives {

namespace core = drivekit::core;

PassThroughDrive::PassThroughDrive(std::string path) : path_(std::move(path)) {
    queues.push_back(std::make_shared<devices::AdminQueue>());
}

core::CommandResult PassThroughDrive::sendCommand(core::Command& command, const core::Payload& data) {
    return checkedExecute(command, &data);
}

core::CommandResult PassThroughDrive::sendCommand(core::Command& command) { return checkedExecute(command, nullptr); }

core::CommandResult PassThroughDrive::checkedExecute(core::Command& command, const core::Payload* data) {
    const auto start = boost::posix_time::microsec_clock::local_time();
    core::CommandResult result;
    if (!isProtocolSupported(command.protocol())) {
        result.status = core::Status::commandSetNotSupported();
    } else if (!passThrough_) {
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

uint32_t PassThroughDrive::timeoutMilliseconds() const {
    const uint64_t milliseconds =
        std::max<uint64_t>(devices::AdminQueue::timeoutOf(*this) / 1000000ULL, uint64_t{timeoutFloorSeconds_} * 1000);
    return static_cast<uint32_t>(std::clamp<uint64_t>(milliseconds, 1, std::numeric_limits<uint32_t>::max()));
}

}  // namespace host::linux_drives
