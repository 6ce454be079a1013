#include "plugins/shared/life_cycle/LifeCycleState.h"

#include <string>

#include "drivekit/core/logging/Log.h"

namespace plugin::cli::life_cycle_state {

void LifeCycleState::GetState(drivekit::core::Status& status, uint32_t& state) {
    LOG_ENTERING();
    drivekit::core::Payload data;
    channel_.receive(status, stateCode, drivekit::core::Payload(), data, 1);
    if (!status.isSuccess()) {
        LOG_ERROR("Error in getting Current Life Cycle State");
        return;
    }
    // A drive that answers without data has told us nothing: assuming a state could let a
    // deployed drive be asked for its parameters, so this is a failure.
    if (data.empty()) {
        LOG_ERROR("Error in getting Current Life Cycle State(Payload blank)");
        status = drivekit::core::Status::custom();
        status.setMessage("Error in getting Current Life Cycle State(Payload blank)");
        return;
    }
    if (data.size() < sizeof(uint32_t)) {
        LOG_ERROR("Error in getting Current Life Cycle State: " + std::to_string(data.size()) + " bytes");
        status = drivekit::core::Status::unexpectedDataLength();
        return;
    }
    state = *data.safeCast<uint32_t>();
    LOG_INFO("Current Life Cycle State is : " + std::to_string(state));
}

}  // namespace plugin::cli::life_cycle_state
