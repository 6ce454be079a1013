#pragma once
// While it lives, the platform's stop signals (POSIX: SIGINT, SIGTERM, SIGHUP, SIGPIPE;
// Windows: the console's Ctrl-C, Ctrl-Break and close events) only raise StopRequest; the
// previous handlers come back when it ends. A second signal while the run puts the drive back
// is ignored for graceSeconds, then the process writes the give-up line on standard error and
// ends with 128 + the first signal.
#include <string>

namespace drivekit::core {

class StopSignalScope {
public:
    static constexpr unsigned graceSeconds = 5;

    // Clears any earlier stop request.
    StopSignalScope();
    ~StopSignalScope();
    StopSignalScope(const StopSignalScope&) = delete;
    StopSignalScope& operator=(const StopSignalScope&) = delete;

    // The line (with its line end) written when the grace period runs out; cut to 1 KiB.
    static void setGiveUpLine(const std::string& line);
};

}  // namespace drivekit::core
