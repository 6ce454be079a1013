#pragma once
// The drive's life-cycle state, read through the vendor channel.
#include <cstdint>
#include <memory>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Status.h"
#include "plugins/shared/vsc/VscDevice.h"

namespace plugin::cli::life_cycle_state {

// The only named state; every other value lets the firmware parameters be read.
constexpr uint32_t DEPLOYED = 1;

class LifeCycleState {
public:
    static constexpr uint32_t stateCode = 0xF1004;

    explicit LifeCycleState(std::shared_ptr<drivekit::core::Device> device)
        : device_(std::move(device)), channel_(*device_, 0) {}
    virtual ~LifeCycleState() = default;

    // On success the state is written; an empty or short answer is a failure and leaves it alone.
    void GetState(drivekit::core::Status& status, uint32_t& state);

private:
    std::shared_ptr<drivekit::core::Device> device_;
    vsc::VscDevice channel_;
};

}  // namespace plugin::cli::life_cycle_state
