#include "drivekit/core/StopSignalScope.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstring>

#include "drivekit/core/StopRequest.h"

namespace drivekit::core {

namespace {

constexpr std::array<int, 4> stopSignals = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

struct SavedActions {
    std::array<struct sigaction, stopSignals.size()> stop;
    struct sigaction alarm;
};
SavedActions saved;

// Read by the alarm handler: filled before the handlers can need it, never while armed.
char giveUpLine[1024];
volatile std::sig_atomic_t giveUpLength = 0;
volatile std::sig_atomic_t graceArmed = 0;

void onStopSignal(int signalNumber) {
    if (!StopRequest::requested()) {
        StopRequest::request(signalNumber);
        return;
    }
    // A second signal: the drive is being put back; wait for it a little, not for ever.
    if (graceArmed == 0) {
        graceArmed = 1;
        ::alarm(StopSignalScope::graceSeconds);
    }
}

void onGraceOver(int) {
    if (giveUpLength > 0) {
        const ssize_t ignored = ::write(STDERR_FILENO, giveUpLine, static_cast<size_t>(giveUpLength));
        (void)ignored;
    }
    ::_exit(128 + StopRequest::signalNumber());
}

void install(int signalNumber, void (*handler)(int), struct sigaction* previous) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // A read or write the signal lands in goes on; the flag is looked at between commands.
    action.sa_flags = SA_RESTART;
    ::sigaction(signalNumber, &action, previous);
}

}  // namespace

StopSignalScope::StopSignalScope() {
    StopRequest::clear();
    graceArmed = 0;
    install(SIGALRM, onGraceOver, &saved.alarm);
    for (size_t i = 0; i < stopSignals.size(); ++i) {
        install(stopSignals[i], onStopSignal, &saved.stop[i]);
    }
}

StopSignalScope::~StopSignalScope() {
    for (size_t i = 0; i < stopSignals.size(); ++i) {
        ::sigaction(stopSignals[i], &saved.stop[i], nullptr);
    }
    ::alarm(0);
    ::sigaction(SIGALRM, &saved.alarm, nullptr);
    graceArmed = 0;
}

void StopSignalScope::setGiveUpLine(const std::string& line) {
    giveUpLength = 0;
    const size_t length = std::min(line.size(), sizeof(giveUpLine));
    std::memcpy(giveUpLine, line.data(), length);
    giveUpLength = static_cast<std::sig_atomic_t>(length);
}

}  // namespace drivekit::core
