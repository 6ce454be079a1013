#pragma once
// Whether the run was asked to stop (Ctrl-C, termination, a hang-up or a closed standard
// output). The platform's handlers raise it; collectors ask between commands, so a command in
// flight always finishes and the drive's settings can still be put back.
namespace drivekit::core {

class StopRequest {
public:
    static bool requested();
    // The signal number that asked first (SIGINT 2, SIGTERM 15, ...); 0 when none did.
    static int signalNumber();
    // The first request holds: a later one never changes the signal. Async-signal-safe.
    static void request(int signalNumber);
    static void clear();
};

}  // namespace drivekit::core
