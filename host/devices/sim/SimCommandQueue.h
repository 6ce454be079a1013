#pragma once
// The simulated drive's admin queue: it only keeps the time-out the host sets.
#include <cstdint>

#include "drivekit/core/HostInterface.h"

namespace host::sim {

class SimCommandQueue : public drivekit::core::CommandQueue {
public:
    static constexpr uint64_t defaultTimeoutNanoseconds = 30ULL * 1000000000ULL;

    uint64_t timeoutNanoseconds() const override { return timeout_; }
    void setTimeout(uint64_t nanoseconds) override { timeout_ = nanoseconds; }

private:
    uint64_t timeout_ = defaultTimeoutNanoseconds;
};

}  // namespace host::sim
