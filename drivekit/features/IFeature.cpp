#include "drivekit/features/IFeature.h"

#include "drivekit/core/logging/Log.h"

namespace drivekit::features {

void IFeature::validate(core::Status& status) {
    LOG_ENTERING();
    status = core::Status::success();
    const AttributeDefinitions required = getRequiredAttributes(status);
    if (!status.isSuccess()) {
        LOG_EXITING();
        return;
    }
    for (const auto& definition : required) {
        if (!attributes_.contains(definition.key())) {
            LOG_ERROR("Required attribute missing: " << definition.key());
            status = core::Status::invalidArguments();
            LOG_EXITING();
            return;
        }
    }
    checkDevice(status);
    LOG_EXITING();
}

void IFeature::run(core::Status& status) { status = core::Status::notImplemented(); }

void IFeature::checkDevice(core::Status& status) const {
    status = device_ ? core::Status::success() : core::Status::noDeviceSelected();
}

}  // namespace drivekit::features
