#pragma once
// The SMART feature of any drive: picks the worker of the drive's protocol (ATA, including a
// drive reached only through the "SMART" path, before NVMe) and forwards every operation.
#include "drivekit/features/smart/SMARTInterface.h"

namespace drivekit::features::smart {

class SMART : public SMARTInterface {
public:
    // Picks the worker; sends nothing.
    SMART(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes = {});

    std::string name() const override { return "SMART"; }
    // Drops the worker held and picks one; "Device does not support this command set." when
    // the drive speaks neither protocol (there is then no worker).
    core::Status setSmartObject(core::Status& status);
    SMARTInterface* worker() const { return worker_.get(); }

    core::Status canRun(core::Status& status) override;
    core::Status readSmart(core::Status& status) override;
    void getSmartAttributes(SmartRecords& records) override;
    core::Status resetTimedWorkloadAttributes(core::Status& status) override;
    SmartRawData rawData() const override;

private:
    std::unique_ptr<SMARTInterface> worker_;
};

}  // namespace drivekit::features::smart
