#pragma once
#include <functional>
#include <string>

#include "drivekit/core/Status.h"

namespace host {

// What opening a real drive before its first command gave.
struct OpenOutcome {
    drivekit::core::Status status;
    // The user may not open the device node (not an administrator, no read-write access).
    bool accessDenied = false;
};

namespace devices {

// The opening of a drive this program lists but never reads: it only says why
// ("<path> is not supported (USB bridge).").
inline std::function<OpenOutcome()> unsupportedOpen(const std::string& path, const std::string& unsupported) {
    auto refused = drivekit::core::Status::custom();
    refused.setMessage(path + " is " + unsupported + ".");
    return [refused]() -> OpenOutcome { return {refused, false}; };
}

}  // namespace devices

}  // namespace host
