#include "drivekit/features/standby_immediate/StandbyImmediate.h"

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/ata/StandbyImmediate.h"
#include "drivekit/core/DeviceAttributes.h"

namespace drivekit::features::standby_immediate {

namespace attributes = core::attributes;

core::Status StandbyImmediate::canRun(core::Status& status) {
    if (!device_) {
        status = core::Status::invalidArguments();
    } else if (!device_->attributes.readBool(attributes::kestrova().key())) {
        status = core::Status::notKestrovaDrive();
    } else if (!device_->attributes.readString(attributes::errorString().key()).empty()) {
        status = core::Status::driveDisabled();
    } else if (!device_->isProtocolSupported(core::protocols::ata)) {
        status = core::Status::commandSetNotSupported();
    } else {
        status = core::Status::success();
    }
    status_ = status;
    return status;
}

core::Status StandbyImmediate::sendCommand(core::Status& status) {
    if (canRun(status).isSuccess()) {
        commands::ata::StandbyImmediate command;
        status = commands::CommandSender(*device_).send(command);
    }
    status_ = status;
    return status;
}

}  // namespace drivekit::features::standby_immediate
