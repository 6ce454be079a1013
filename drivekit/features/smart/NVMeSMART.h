#pragma once
// SMART of an NVMe drive: the maker's vendor SMART attributes page and the SMART / Health
// Information page.
#include "drivekit/features/smart/SMARTInterface.h"

namespace drivekit::features::smart {

class NVMeSMART : public SMARTInterface {
public:
    // The maker's feature that restarts the timed-workload counters.
    static constexpr uint8_t timedWorkloadFeatureId = 0xD5;

    using SMARTInterface::SMARTInterface;

    std::string name() const override { return "NVMeSMART"; }
    // A RAID volume or a drive without an NVMe path cannot be read.
    core::Status canRun(core::Status& status) override;
    // The vendor page on the maker's NVMe drives (and the partner OEM's drives of its
    // families), the SMART / Health page when "IncludeNVMeSmartHealthLog" is set. A failed
    // read stops the rest.
    core::Status readSmart(core::Status& status) override;
    // One record per field of the SMART / Health page, named by its key, with "Description",
    // "Value" and, for the warnings and the spare capacity, "Action" (and "Message" for a
    // raised endurance-group warning).
    void getSmartAttributes(SmartRecords& records) override;
    core::Status resetTimedWorkloadAttributes(core::Status& status) override;
    SmartRawData rawData() const override;

private:
    bool hasVendorPage() const;

    core::Payload vendorPage_;
    core::Payload healthPage_;
};

}  // namespace drivekit::features::smart
