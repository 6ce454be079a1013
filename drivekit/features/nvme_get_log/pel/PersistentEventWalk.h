#pragma once
// The events of a persistent event log walked forward over the log's bytes as they arrive,
// in pieces of any size. One event's bytes are held at a time, and an event is at most what
// its header's two lengths can state (3 + 255 + 65535 bytes), so a log of any length is
// walked in bounded memory. Every length is checked against the log's size before use.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "drivekit/features/decode/FieldSink.h"

namespace drivekit::features::nvme_get_log::pel {

class PersistentEventWalk {
public:
    // totalEvents: the count the log header states; logBytes: the bytes of the log that will
    // be fed, header included. Each event goes to sink as its "Event n" object, ended before
    // the next begins; without a sink the walk only frames the events (every length checked,
    // nothing decoded or logged).
    PersistentEventWalk(uint32_t totalEvents, uint64_t logBytes, features::decode::FieldSink* sink);

    // The log's next bytes, from its first byte on (the log header is passed over).
    void feed(const uint8_t* bytes, std::size_t count);
    // After the last piece: empty when the walk met every event the header counts, else why
    // it stopped (the log's "Truncated" reason).
    const std::string& finish();

    uint64_t eventsMet() const { return number_ - 1; }
    // Where the walk ended: the end of the last event met whole.
    uint64_t offset() const { return offset_; }

private:
    void settle();
    void takeHeader();
    void takeEvent();
    void stop(const std::string& reason);

    uint32_t totalEvents_;
    uint64_t logBytes_;
    features::decode::FieldSink* sink_;
    uint64_t fed_ = 0;
    uint64_t offset_;       // where the event being met starts
    uint64_t eventEnd_ = 0;  // its end once its header is held, else 0
    uint64_t number_ = 1;
    std::vector<uint8_t> held_;  // the bytes of the event being met that arrived
    std::string stopped_;
    bool done_ = false;
};

}  // namespace drivekit::features::nvme_get_log::pel
