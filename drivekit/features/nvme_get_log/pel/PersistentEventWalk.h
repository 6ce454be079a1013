#pragma once
// The events of a persistent event log walked forward over the log's bytes as they arrive,
// in pieces of any size. One event's bytes are held at a time, and an event is at most what
// its header's two lengths can state (3 + 255 + 65535 bytes), so a log of any length is
// walked in bounded memory. Every length is checked against the log's size before use.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/features/decode/FieldSink.h"

namespace drivekit::features::nvme_get_log::pel {

// Where a walk hands the events it meets, in order.
class PersistentEventReceiver {
public:
    virtual ~PersistentEventReceiver() = default;
    // Event number's bytes, its header included; the event lies wholly in the log.
    virtual void event(uint64_t number, const uint8_t* bytes, std::size_t size) = 0;
    // The header of event number, whose lengths do not fit in the log (reason says how).
    virtual void cutEvent(uint64_t number, const uint8_t* header, std::size_t size, const std::string& reason) = 0;
};

class PersistentEventWalk {
public:
    // totalEvents: the count the log header states; logBytes: the bytes of the log that will
    // be fed, header included. Each event goes to sink as its "Event n" object, ended before
    // the next begins; without a sink the walk only frames the events (every length checked,
    // nothing decoded or logged).
    PersistentEventWalk(uint32_t totalEvents, uint64_t logBytes, features::decode::FieldSink* sink);
    // The same walk handing each event's bytes to receiver, to be decoded there (or elsewhere).
    PersistentEventWalk(uint32_t totalEvents, uint64_t logBytes, PersistentEventReceiver& receiver);
    ~PersistentEventWalk();
    PersistentEventWalk(const PersistentEventWalk&) = delete;
    PersistentEventWalk& operator=(const PersistentEventWalk&) = delete;

    // An event's "Event n" object, as a walk with a sink gives it: the event's bytes, header
    // included, lying wholly in the log; or only the header of an event cut (reason says how).
    static void renderEvent(features::decode::FieldSink& sink, uint64_t number, const uint8_t* bytes,
                            std::size_t size);
    static void renderCutEvent(features::decode::FieldSink& sink, uint64_t number, const uint8_t* header,
                               std::size_t size, const std::string& reason);

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

    class SinkReceiver;

    uint32_t totalEvents_;
    uint64_t logBytes_;
    std::unique_ptr<SinkReceiver> sinkReceiver_;
    PersistentEventReceiver* receiver_;  // null for a framing walk
    uint64_t fed_ = 0;
    uint64_t offset_;       // where the event being met starts
    uint64_t eventEnd_ = 0;  // its end once its header is held, else 0
    uint64_t number_ = 1;
    std::vector<uint8_t> held_;  // the bytes of the event being met that arrived
    std::string stopped_;
    bool done_ = false;
};

}  // namespace drivekit::features::nvme_get_log::pel
