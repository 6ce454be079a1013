#include "drivekit/features/nvme_get_log/pel/TarnStruct.h"

#include <boost/format.hpp>

#include "drivekit/core/logging/Log.h"

namespace drivekit::features::nvme_get_log::pel {

TarnStruct::TarnStruct(core::Payload payload, uint32_t offset, uint32_t size, const char* name)
    : payload_(std::move(payload)), offset_(offset), size_(size), name_(name) {}

bool TarnStruct::fits() const {
    if (static_cast<uint64_t>(offset_) + size_ <= payload_.size() && !payload_.empty()) {
        return true;
    }
    LOG_DEBUG(boost::format("Cast (with offsets) with payload data out of range!\nPayload size: %1%\n"
                            "Structure Name: %2%\nStructure Size: %3%\nOffset: %4%") %
              payload_.size() % name_ % size_ % offset_);
    return false;
}

}  // namespace drivekit::features::nvme_get_log::pel
