#include "drivekit/features/nvme_get_log/pel/TarnStruct.h"

#include <algorithm>

#include <boost/format.hpp>

#include "drivekit/core/logging/Log.h"

namespace drivekit::features::nvme_get_log::pel {

using core::xml::XmlElement;
using core::xml::XmlObject;

TarnStruct::TarnStruct(core::Payload payload, uint32_t offset, uint32_t size, std::string name)
    : payload_(std::move(payload)), offset_(offset), size_(size), name_(std::move(name)) {}

bool TarnStruct::fits() const {
    if (static_cast<uint64_t>(offset_) + size_ <= payload_.size() && !payload_.empty()) {
        return true;
    }
    LOG_DEBUG(boost::format("Cast (with offsets) with payload data out of range!\nPayload size: %1%\n"
                            "Structure Name: %2%\nStructure Size: %3%\nOffset: %4%") %
              payload_.size() % name_ % size_ % offset_);
    return false;
}

std::string TarnStruct::displayName(const std::string& fieldName) {
    std::string name = fieldName;
    std::replace(name.begin(), name.end(), '_', ' ');
    return name;
}

namespace {

void rename(XmlElement& element) {
    element.setAttribute(core::xml::keys::name, TarnStruct::displayName(element.attribute(core::xml::keys::name)));
}

}  // namespace

void TarnStruct::useDisplayNames(XmlObject& object, std::size_t firstProperty, std::size_t firstObject) {
    for (std::size_t i = firstProperty; i < object.properties().size(); ++i) {
        rename(*object.properties()[i]);
    }
    for (std::size_t i = firstObject; i < object.objects().size(); ++i) {
        auto* child = static_cast<XmlObject*>(object.objects()[i].get());
        rename(*child);
        useDisplayNames(*child, 0, 0);
    }
}

}  // namespace drivekit::features::nvme_get_log::pel
