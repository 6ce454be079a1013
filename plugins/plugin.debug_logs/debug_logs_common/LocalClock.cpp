#include "plugins/plugin.debug_logs/debug_logs_common/LocalClock.h"

#include "plugins/plugin.debug_logs/debug_logs_common/Platform.h"

namespace plugin::cli::debug_logs {

LocalTime LocalClock::now() {
    const Source& chosen = source();
    return chosen ? chosen() : platform::localTimeNow();
}

void LocalClock::setSource(Source replacement) { source() = std::move(replacement); }

LocalClock::Source& LocalClock::source() {
    static Source chosen;
    return chosen;
}

}  // namespace plugin::cli::debug_logs
