#include "host/devices/win/WinDrive.h"

#include <algorithm>
#include <limits>

#include "host/devices/AdminQueue.h"
#include "host/devices/win/SystemErrorStatus.h"

namespace host::win_drives {

namespace core = drivekit::core;

IoAnswer WinDrive::call(uint32_t controlCode, const std::vector<uint8_t>& request, const std::string& what,
                        core::Status& status) {
    IoAnswer answer = io_->call(controlCode, request, request.size());
    status = answer.systemError != 0 ? systemErrorStatus(answer.systemError, path(), what) : core::Status::success();
    return answer;
}

uint32_t WinDrive::timeoutSeconds() const {
    const uint64_t seconds = devices::AdminQueue::timeoutOf(*this) / 1000000000ULL;
    return static_cast<uint32_t>(std::clamp<uint64_t>(seconds, 1, std::numeric_limits<uint32_t>::max()));
}

}  // namespace host::win_drives
