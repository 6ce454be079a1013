#include "drivekit/core/StopRequest.h"

#include <atomic>

namespace drivekit::core {

namespace {
// Written from a signal handler: only a lock-free atomic is safe there.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
}  // namespace

bool StopRequest::requested() { return stopSignal.load() != 0; }

int StopRequest::signalNumber() { return stopSignal.load(); }

void StopRequest::request(int signalNumber) {
    int none = 0;
    stopSignal.compare_exchange_strong(none, signalNumber);
}

void StopRequest::clear() { stopSignal.store(0); }

}  // namespace drivekit::core
