#pragma once
// A drive's admin queue as the host keeps it: only the time-out the collectors set. Real and
// simulated drives both hand it out.
#include <cstdint>

#include "drivekit/core/HostInterface.h"

namespace host::devices {

class AdminQueue : public drivekit::core::CommandQueue {
public:
    static constexpr uint64_t defaultTimeoutNanoseconds = 30ULL * 1000000000ULL;

    // The time-out of a drive's first queue, or the default when it has none.
    static uint64_t timeoutOf(const drivekit::core::Device& drive) {
        return drive.queues.empty() || !drive.queues.front() ? defaultTimeoutNanoseconds
                                                             : drive.queues.front()->timeoutNanoseconds();
    }

    uint64_t timeoutNanoseconds() const override { return timeout_; }
    void setTimeout(uint64_t nanoseconds) override { timeout_ = nanoseconds; }

private:
    uint64_t timeout_ = defaultTimeoutNanoseconds;
};

}  // namespace host::devices
