#pragma once
#include "drivekit/core/Status.h"

namespace host {

// What opening a real drive before its first command gave.
struct OpenOutcome {
    drivekit::core::Status status;
    // The user may not open the device node (not an administrator, no read-write access).
    bool accessDenied = false;
};

}  // namespace host
