#include "drivekit/features/nvme_get_log/pel/PersistentEventWalk.h"

#include <algorithm>
#include <cstring>

#include <boost/format.hpp>

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/nvme_get_log/pel/PelRecords.h"
#include "drivekit/features/nvme_get_log/pel/PelRegistries.h"
#include "drivekit/features/nvme_get_log/pel/PelWrappers.h"

namespace drivekit::features::nvme_get_log::pel {

using features::decode::FieldSink;

namespace {

constexpr uint8_t tcgDefinedEvent = 0xDF;

// The descriptors of the vendor-specific information, one child each; trailing bytes too
// few for a descriptor's header are padding.
void addVendorInformation(FieldSink& sink, uint8_t eventType, const core::Payload& information,
                          uint32_t declaredBytes) {
    beginObject(sink, "Vendor Specific Information");
    const uint32_t key =
        eventType == tcgDefinedEvent ? subStructure::vendorDescriptorTcg : subStructure::vendorDescriptor;
    uint64_t at = 0;
    for (uint32_t number = 1; at + vendorDescriptorHeaderBytes <= information.size(); ++number) {
        const auto view = subStructures().create(key, information, static_cast<uint32_t>(at));
        beginObject(sink, "Vendor Specific Descriptor " + std::to_string(number));
        view->addProperties(sink);
        sink.endObject();
        at += view->size();
    }
    if (declaredBytes > information.size()) {
        addTruncated(sink, "the vendor-specific information is " + std::to_string(declaredBytes) +
                               " bytes long; the event holds " + std::to_string(information.size()));
    }
    sink.endObject();
}

// The data of one event that lies wholly in the log, from dataOffset to the end of event: the
// structure of its type over the bytes after the vendor-specific information, then that
// information.
void addEventData(FieldSink& sink, const PersistentEventHeader& header, const core::Payload& event,
                  uint32_t dataOffset) {
    const uint32_t dataBytes = event.size() - dataOffset;
    const uint32_t vendorBytes = std::min<uint32_t>(header.vendorSpecificInformationLength, dataBytes);
    if (eventTypes().contains(header.eventType)) {
        eventTypes().addTo(sink, header.eventType, event, dataOffset + vendorBytes);
    } else {
        LOG_DEBUG("No structure for event type " << unsigned{header.eventType} << "; its data is shown raw");
        addRawBytes(sink, "raw", event, dataOffset + vendorBytes, dataBytes - vendorBytes);
    }
    if (header.vendorSpecificInformationLength != 0) {
        addVendorInformation(sink, header.eventType, copyOf(event, dataOffset, vendorBytes),
                             header.vendorSpecificInformationLength);
    }
}

PersistentEventHeader headerOf(const uint8_t* bytes) {
    PersistentEventHeader header;
    std::memcpy(&header, bytes, sizeof(header));
    return header;
}

}  // namespace

class PersistentEventWalk::SinkReceiver : public PersistentEventReceiver {
public:
    explicit SinkReceiver(FieldSink& sink) : sink_(sink) {}
    void event(uint64_t number, const uint8_t* bytes, std::size_t size) override {
        renderEvent(sink_, number, bytes, size);
    }
    void cutEvent(uint64_t number, const uint8_t* header, std::size_t size, const std::string& reason) override {
        renderCutEvent(sink_, number, header, size, reason);
    }

private:
    FieldSink& sink_;
};

PersistentEventWalk::PersistentEventWalk(uint32_t totalEvents, uint64_t logBytes, FieldSink* sink)
    : totalEvents_(totalEvents),
      logBytes_(logBytes),
      sinkReceiver_(sink != nullptr ? std::make_unique<SinkReceiver>(*sink) : nullptr),
      receiver_(sinkReceiver_.get()),
      offset_(logHeaderBytes) {
    settle();
}

PersistentEventWalk::PersistentEventWalk(uint32_t totalEvents, uint64_t logBytes, PersistentEventReceiver& receiver)
    : totalEvents_(totalEvents), logBytes_(logBytes), receiver_(&receiver), offset_(logHeaderBytes) {
    settle();
}

PersistentEventWalk::~PersistentEventWalk() = default;

void PersistentEventWalk::renderEvent(FieldSink& sink, uint64_t number, const uint8_t* bytes, std::size_t size) {
    const PersistentEventHeader header = headerOf(bytes);
    // Each event is decoded from a copy of its own bytes, which ends where the event ends: no
    // structure of one event can read the bytes of the next, and none reads before its offset.
    const core::Payload event(bytes, size);
    beginObject(sink, "Event " + std::to_string(number));
    logStructures().addTo(sink, logStructure::eventHeader, event, 0);
    addEventData(sink, header, event, eventHeaderLengthBase + header.eventHeaderLength);
    sink.endObject();
}

void PersistentEventWalk::renderCutEvent(FieldSink& sink, uint64_t number, const uint8_t* header, std::size_t size,
                                         const std::string& reason) {
    beginObject(sink, "Event " + std::to_string(number));
    logStructures().addTo(sink, logStructure::eventHeader, core::Payload(header, size), 0);
    addTruncated(sink, reason);
    sink.endObject();
}

void PersistentEventWalk::feed(const uint8_t* bytes, std::size_t count) {
    while (count > 0 && !done_) {
        // Bytes before the event being met: the log header, or data a framing walk skips.
        const uint64_t passed = fed_ < offset_ ? std::min<uint64_t>(count, offset_ - fed_) : 0;
        const uint64_t wanted = eventEnd_ == 0 ? offset_ + eventHeaderBytes : eventEnd_;
        const auto taken = static_cast<std::size_t>(passed != 0 ? passed : std::min<uint64_t>(count, wanted - fed_));
        if (passed == 0) {
            held_.insert(held_.end(), bytes, bytes + taken);
        }
        bytes += taken;
        count -= taken;
        fed_ += taken;
        if (passed == 0 && fed_ == wanted) {
            eventEnd_ == 0 ? takeHeader() : takeEvent();
        }
    }
}

const std::string& PersistentEventWalk::finish() {
    if (!done_) {
        if (receiver_ != nullptr) {
            LOG_DEBUG("The log ends at byte " << fed_ << ", within event " << number_);
        }
        stop("the log ends at byte " + std::to_string(fed_) + ", within event " + std::to_string(number_) + " of " +
             std::to_string(totalEvents_));
    }
    return stopped_;
}

// What the walk at the next event's start needs before any of its bytes: nothing at the end
// of the count, and a header that fits in the log.
void PersistentEventWalk::settle() {
    if (number_ > totalEvents_) {
        done_ = true;
    } else if (offset_ + eventHeaderBytes > logBytes_) {
        if (receiver_ != nullptr) {
            LOG_DEBUG(boost::format("Event header out of bounds. Event number #%d, offset %d, header size %d, "
                                    "payload size %d.") %
                      number_ % offset_ % eventHeaderBytes % logBytes_);
        }
        stop("the log ends at byte " + std::to_string(logBytes_) + ", before the header of event " +
             std::to_string(number_) + " of " + std::to_string(totalEvents_));
    }
}

void PersistentEventWalk::takeHeader() {
    const PersistentEventHeader header = headerOf(held_.data());
    const uint64_t headerBytes = eventHeaderLengthBase + header.eventHeaderLength;
    const uint64_t size = headerBytes + header.eventLength;
    if (headerBytes >= eventHeaderBytes && offset_ + size <= logBytes_) {
        eventEnd_ = offset_ + size;
        if (receiver_ == nullptr) {
            offset_ = eventEnd_;  // the data is passed over unread
            takeEvent();
        } else if (fed_ == eventEnd_) {
            takeEvent();
        }
        return;
    }
    const std::string reason = headerBytes < eventHeaderBytes
                                   ? "the event is shorter than its header"
                                   : "the event's " + std::to_string(size) + " bytes run past the end of the log";
    if (receiver_ != nullptr) {
        LOG_DEBUG(boost::format("Event data out of bounds. Event #%d, offset %d, event size %d, payload size %d.") %
                  number_ % offset_ % size % logBytes_);
        receiver_->cutEvent(number_, held_.data(), held_.size(), reason);
    }
    ++number_;
    stop("event " + std::to_string(number_ - 1) + " of " + std::to_string(totalEvents_) + ": " + reason);
}

void PersistentEventWalk::takeEvent() {
    if (receiver_ != nullptr) {
        receiver_->event(number_, held_.data(), held_.size());
    }
    offset_ = eventEnd_;
    eventEnd_ = 0;
    held_.clear();
    ++number_;
    settle();
}

void PersistentEventWalk::stop(const std::string& reason) {
    stopped_ = reason;
    done_ = true;
}

}  // namespace drivekit::features::nvme_get_log::pel
