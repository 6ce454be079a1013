#include "drivekit/features/nvme_get_log/pel/PersistentEventLogDecoder.h"

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/decode/XmlObjectSink.h"
#include "drivekit/features/nvme_get_log/pel/PelRecords.h"
#include "drivekit/features/nvme_get_log/pel/PelRegistries.h"
#include "drivekit/features/nvme_get_log/pel/PelWrappers.h"
#include "drivekit/features/nvme_get_log/pel/PersistentEventWalk.h"

namespace drivekit::features::nvme_get_log::pel {

using core::xml::XmlObject;

namespace {

uint64_t elementCount(const XmlObject& object) {
    uint64_t count = 1 + object.properties().size() + object.elements().size();
    for (const auto& child : object.objects()) {
        count += elementCount(static_cast<const XmlObject&>(*child));
    }
    return count;
}

}  // namespace

std::unique_ptr<XmlObject> persistentEventLogRoot(const core::Payload& head, core::Status& status) {
    auto root = std::make_unique<XmlObject>("Persistent Event Log");
    if (head.empty() || head.size() < logHeaderBytes) {
        LOG_DEBUG("Not enough data to parse PEL header: " << head.size());
        status = core::Status::unexpectedDataLength();
        return root;
    }
    status = core::Status::success();
    logStructures().addTo(*root, logStructure::header, head, 0);
    return root;
}

std::unique_ptr<XmlObject> decodePersistentEventLog(const core::Payload& log, core::Status& status) {
    LOG_ENTERING();
    auto root = persistentEventLogRoot(log, status);
    if (!status.isSuccess()) {
        return root;
    }
    const uint32_t totalEvents = log.safeCast<PersistentEventLogHeader>()->totalNumberOfEvents;
    features::decode::XmlObjectSink events(*root);
    PersistentEventWalk walk(totalEvents, log.size(), &events);
    walk.feed(log.data(), log.size());
    const std::string& cut = walk.finish();
    if (!cut.empty()) {
        addTruncated(*root, cut);
    }
    if (walk.offset() != log.size()) {
        LOG_DEBUG("Unexpectedly reached offset(" << walk.offset() << ") passed data size(" << log.size() << ")");
    }
    LOG_DEBUG("XML Size: " << elementCount(*root) << " elements");
    return root;
}

}  // namespace drivekit::features::nvme_get_log::pel
