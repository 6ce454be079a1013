#include "drivekit/features/nvme_get_log/pel/PersistentEventLogDecoder.h"

#include <algorithm>

#include <boost/format.hpp>

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/nvme_get_log/pel/PelRecords.h"
#include "drivekit/features/nvme_get_log/pel/PelRegistries.h"
#include "drivekit/features/nvme_get_log/pel/PelWrappers.h"

namespace drivekit::features::nvme_get_log::pel {

using core::xml::XmlObject;

namespace {

constexpr uint8_t tcgDefinedEvent = 0xDF;
// A decoded event costs about 12 KiB of tree against some 140 bytes of log, so the tree of a
// log of the largest size the reader takes would not fit in memory. The walk shows at most
// this many events (a tree of about 250 MB) and says how many it left out.
constexpr uint64_t mostEventsShown = 20000;

// The descriptors of the vendor-specific information, one child each; trailing bytes too
// few for a descriptor's header are padding.
void addVendorInformation(XmlObject& event, uint8_t eventType, const core::Payload& information,
                          uint32_t declaredBytes) {
    auto child = std::make_unique<XmlObject>("Vendor Specific Information");
    const uint32_t key =
        eventType == tcgDefinedEvent ? subStructure::vendorDescriptorTcg : subStructure::vendorDescriptor;
    uint64_t at = 0;
    for (uint32_t number = 1; at + vendorDescriptorHeaderBytes <= information.size(); ++number) {
        const auto view = subStructures().create(key, information, static_cast<uint32_t>(at));
        auto descriptor = std::make_unique<XmlObject>("Vendor Specific Descriptor " + std::to_string(number));
        view->addProperties(*descriptor);
        child->addObject(std::move(descriptor));
        at += view->size();
    }
    if (declaredBytes > information.size()) {
        addTruncated(*child, "the vendor-specific information is " + std::to_string(declaredBytes) +
                                 " bytes long; the event holds " + std::to_string(information.size()));
    }
    event.addObject(std::move(child));
}

// The data of one event that lies wholly in the log: the structure of its type over the
// bytes after the vendor-specific information, then that information.
void addEventData(XmlObject& event, const PersistentEventHeader& header, const core::Payload& data) {
    const uint32_t vendorBytes = std::min(header.vendorSpecificInformationLength, header.eventLength);
    if (eventTypes().contains(header.eventType)) {
        eventTypes().addTo(event, header.eventType, data, vendorBytes);
    } else {
        LOG_DEBUG("No structure for event type " << unsigned{header.eventType} << "; its data is shown raw");
        addRawBytes(event, "raw", data, vendorBytes, data.size() - vendorBytes);
    }
    if (header.vendorSpecificInformationLength != 0) {
        addVendorInformation(event, header.eventType, copyOf(data, 0, vendorBytes),
                             header.vendorSpecificInformationLength);
    }
}

uint64_t elementCount(const XmlObject& object) {
    uint64_t count = 1 + object.properties().size() + object.elements().size();
    for (const auto& child : object.objects()) {
        count += elementCount(static_cast<const XmlObject&>(*child));
    }
    return count;
}

// Walks the events after the log header. Every event moves the offset forward by at least
// its header, so the walk ends within the payload whatever the counts and lengths say.
uint64_t walkEvents(const core::Payload& log, uint32_t totalEvents, XmlObject& root) {
    uint64_t offset = logHeaderBytes;
    for (uint64_t number = 1; number <= totalEvents; ++number) {
        if (number > mostEventsShown) {
            LOG_WARNING("Only the first " << mostEventsShown << " of " << totalEvents << " events are decoded");
            addTruncated(root, "events " + std::to_string(number) + " to " + std::to_string(totalEvents) +
                                   " are not shown: the tree holds at most " + std::to_string(mostEventsShown));
            break;
        }
        if (offset + eventHeaderBytes > log.size()) {
            LOG_DEBUG(boost::format("Event header out of bounds. Event number #%d, offset %d, header size %d, "
                                    "payload size %d.") %
                      number % offset % eventHeaderBytes % log.size());
            addTruncated(root, "the log ends at byte " + std::to_string(log.size()) + ", before the header of event " +
                                   std::to_string(number) + " of " + std::to_string(totalEvents));
            break;
        }
        const PersistentEventHeader header = *log.safeCast<PersistentEventHeader>(static_cast<uint32_t>(offset));
        auto event = std::make_unique<XmlObject>("Event " + std::to_string(number));
        logStructures().addTo(*event, logStructure::eventHeader, log, static_cast<uint32_t>(offset));
        const uint64_t headerBytes = eventHeaderLengthBase + header.eventHeaderLength;
        const uint64_t size = headerBytes + header.eventLength;
        if (headerBytes < eventHeaderBytes || offset + size > log.size()) {
            LOG_DEBUG(boost::format("Event data out of bounds. Event #%d, offset %d, event size %d, payload size %d.") %
                      number % offset % size % log.size());
            const std::string reason = headerBytes < eventHeaderBytes
                                           ? "the event is shorter than its header"
                                           : "the event's " + std::to_string(size) + " bytes run past the end of the log";
            addTruncated(*event, reason);
            root.addObject(std::move(event));
            addTruncated(root, "event " + std::to_string(number) + " of " + std::to_string(totalEvents) + ": " + reason);
            break;
        }
        // Each event is decoded from a copy of its own bytes: no structure of one event can read
        // the bytes of the next.
        addEventData(*event, header, copyOf(log, offset + headerBytes, header.eventLength));
        root.addObject(std::move(event));
        offset += size;
    }
    return offset;
}

}  // namespace

std::unique_ptr<XmlObject> decodePersistentEventLog(const core::Payload& log, core::Status& status) {
    LOG_ENTERING();
    auto root = std::make_unique<XmlObject>("Persistent Event Log");
    if (log.empty() || log.size() < logHeaderBytes) {
        LOG_DEBUG("Not enough data to parse PEL header: " << log.size());
        status = core::Status::unexpectedDataLength();
        return root;
    }
    status = core::Status::success();
    logStructures().addTo(*root, logStructure::header, log, 0);
    const uint32_t totalEvents = log.safeCast<PersistentEventLogHeader>()->totalNumberOfEvents;
    const uint64_t offset = walkEvents(log, totalEvents, *root);
    if (offset != log.size()) {
        LOG_DEBUG("Unexpectedly reached offset(" << offset << ") passed data size(" << log.size() << ")");
    }
    LOG_DEBUG("XML Size: " << elementCount(*root) << " elements");
    return root;
}

}  // namespace drivekit::features::nvme_get_log::pel
