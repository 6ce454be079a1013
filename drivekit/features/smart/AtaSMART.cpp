#include "drivekit/features/smart/AtaSMART.h"

#include <memory>

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/ata/ReadDMA.h"
#include "drivekit/commands/ata/SMARTExecuteOfflineImmediate.h"
#include "drivekit/commands/smart/SMARTReadData.h"
#include "drivekit/commands/smart/SMARTReadThresholds.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/smart/AtaSmartRecords.h"
#include "drivekit/features/smart/SmartSectors.h"
#include "drivekit/features/standby_immediate/StandbyImmediate.h"

namespace drivekit::features::smart {

namespace attributes = core::attributes;

namespace {

// Sends one SMART sector read and keeps the sector when a whole one came back.
core::Status readSector(commands::CommandSender& sender, core::Command& command, core::Payload& sector) {
    core::Status status = sender.send(command);
    if (status.isSuccess()) {
        status = sender.requireData(smartSectorBytes);
    }
    if (status.isSuccess()) {
        sector = sender.data();
    }
    return status;
}

}  // namespace

core::Status AtaSMART::canRun(core::Status& status) {
    const core::AttributeCollection& drive = device_->attributes;
    if (drive.readBool(attributes::raid().key())) {
        status = core::Status::raidVolume();
    } else if (!device_->isProtocolSupported(core::protocols::ata) &&
               !device_->isProtocolSupported(core::protocols::smart)) {
        status = core::Status::commandSetNotSupported();
    } else if (drive.readBool(attributes::kestrova().key()) &&
               !drive.readString(attributes::errorString().key()).empty()) {
        status = core::Status::driveDisabled();
    } else if (!drive.readBool(attributes::smartEnabled().key())) {
        status = core::Status::smartNotEnabled();
    } else {
        status = core::Status::success();
    }
    status_ = status;
    return status;
}

core::Status AtaSMART::readSmart(core::Status& status) {
    LOG_ENTERING();
    if (!canRun(status).isSuccess()) {
        return status;
    }
    commands::CommandSender sender(*device_);
    std::unique_ptr<commands::ata::Command> readData = std::make_unique<commands::ata::SMARTReadData>();
    std::unique_ptr<commands::ata::Command> readThresholds = std::make_unique<commands::ata::SMARTReadThresholds>();
    if (device_->isProtocolSupported(core::protocols::smart)) {
        readData = std::make_unique<commands::smart::SMARTReadData>();
        readThresholds = std::make_unique<commands::smart::SMARTReadThresholds>();
    } else {
        LOG_DEBUG("Attempting ReadDMA first to clear potential PIO errors");
        commands::ata::ReadDMA readDma;
        sender.send(readDma);
    }
    LOG_INFO("Send ATA SMART read data command");
    status = readSector(sender, *readData, data_);
    if (status.isSuccess()) {
        LOG_INFO("Send ATA Thresholds data command");
        status = readSector(sender, *readThresholds, thresholds_);
    }
    status_ = status;
    LOG_EXITING();
    return status;
}

void AtaSMART::getSmartAttributes(SmartRecords& records) {
    if (data_.empty() || thresholds_.empty()) {
        return;
    }
    const core::AttributeCollection& drive = device_->attributes;
    const AtaSmartRules rules = AtaSmartRules::forProduct(drive.readString(attributes::product().key()),
                                                          drive.readBool(attributes::lsi().key()));
    for (const auto& record : decodeAtaSmartRecords(data_, &thresholds_, rules)) {
        records.push_back(toXmlObject(record));
    }
}

core::Status AtaSMART::resetTimedWorkloadAttributes(core::Status& status) {
    if (!canRun(status).isSuccess()) {
        return status;
    }
    commands::ata::SMARTExecuteOfflineImmediate restart(restartTimedWorkload);
    status = commands::CommandSender(*device_).send(restart);
    // The counters restart only once the drive has been through standby; a failed restart
    // command is not followed by one.
    if (status.isSuccess()) {
        LOG_INFO("Executing standby immediate.");
        standby_immediate::StandbyImmediate(device_).sendCommand(status);
    }
    status_ = status;
    return status;
}

SmartRawData AtaSMART::rawData() const {
    return heldData({{smartAttributesKey, data_}, {smartThresholdsKey, thresholds_}});
}

}  // namespace drivekit::features::smart
