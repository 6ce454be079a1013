#include "plugins/plugin.debug_logs/debug_logs_common/CommandBatch.h"

// What does not depend on the platform. The platform's file defines Child (and so the constructor
// and the destructor, which need it whole) and the waiting.
namespace plugin::cli::debug_logs {

void CommandBatch::stopAll() {
    for (auto& child : children_) {
        stop(*child, OutputStop::request);
    }
    while (!children_.empty()) {
        waitForEvents();
        collectDone();
    }
}

std::vector<CommandBatch::Finished> CommandBatch::wait() {
    while (finished_.empty() && !children_.empty()) {
        waitForEvents();
        collectDone();
    }
    return std::move(finished_);
}

}  // namespace plugin::cli::debug_logs
