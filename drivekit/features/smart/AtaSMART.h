#pragma once
// SMART of an ATA drive: the SMART READ DATA and READ THRESHOLDS sectors and their attributes.
#include "drivekit/features/smart/SMARTInterface.h"

namespace drivekit::features::smart {

class AtaSMART : public SMARTInterface {
public:
    // The sub-command of SMART EXECUTE OFF-LINE IMMEDIATE that restarts the timed workload.
    static constexpr uint8_t restartTimedWorkload = 0x40;

    using SMARTInterface::SMARTInterface;

    std::string name() const override { return "AtaSMART"; }
    // In order: a RAID volume, no ATA or SMART path, the maker's drive in a disabled state,
    // SMART not enabled.
    core::Status canRun(core::Status& status) override;
    // Through the "SMART" path when the drive offers it; otherwise one READ DMA of sector 0
    // first (its outcome ignored) to clear a PIO error the drive may hold. The thresholds are
    // read only after the data. A sector that comes back shorter than 512 bytes is not kept.
    core::Status readSmart(core::Status& status) override;
    // Needs both sectors; the records of the product's naming, thresholds and verdicts.
    void getSmartAttributes(SmartRecords& records) override;
    core::Status resetTimedWorkloadAttributes(core::Status& status) override;
    SmartRawData rawData() const override;

private:
    core::Payload data_;
    core::Payload thresholds_;
};

}  // namespace drivekit::features::smart
