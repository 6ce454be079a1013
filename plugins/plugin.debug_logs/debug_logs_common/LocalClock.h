#pragma once
// Where the package's time stamps come from: the platform's local clock, or a source that a
// test puts in its place.
#include <functional>

#include "plugins/plugin.debug_logs/debug_logs_common/LocalTime.h"

namespace plugin::cli::debug_logs {

class LocalClock {
public:
    using Source = std::function<LocalTime()>;

    static LocalTime now();
    // An empty source restores the platform's clock.
    static void setSource(Source source);

private:
    static Source& source();
};

}  // namespace plugin::cli::debug_logs
