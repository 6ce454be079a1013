#include "drivekit/features/identify/IdentifyInterface.h"

namespace drivekit::features::identify {

IdentifyInterface::IdentifyInterface(std::shared_ptr<core::Device> device,
                                     const core::AttributeCollection& attributes)
    : Feature(attributes), device_(std::move(device)) {}

core::Status IdentifyInterface::requireProtocol(const std::string& protocol) const {
    if (device_ && device_->isProtocolSupported(protocol)) {
        return core::Status::success();
    }
    return core::Status::commandSetNotSupported();
}

}  // namespace drivekit::features::identify
