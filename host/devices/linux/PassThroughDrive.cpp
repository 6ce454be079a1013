#include "host/devices/linux/PassThroughDrive.h"

#include <algorithm>
#include <limits>

#include "host/devices/AdminQueue.h"

namespace host::linux_drives {

uint32_t PassThroughDrive::timeoutMilliseconds() const {
    const uint64_t milliseconds =
        std::max<uint64_t>(devices::AdminQueue::timeoutOf(*this) / 1000000ULL, uint64_t{timeoutFloorSeconds_} * 1000);
    return static_cast<uint32_t>(std::clamp<uint64_t>(milliseconds, 1, std::numeric_limits<uint32_t>::max()));
}

}  // namespace host::linux_drives
