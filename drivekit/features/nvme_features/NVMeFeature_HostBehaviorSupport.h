#pragma once
// Host Behavior Support (feature 0x16): a 512-byte structure whose first three bytes are the
// host's switches for advanced command retry, the extended telemetry data area 4 and the
// LBA format extension.
#include "drivekit/features/nvme_features/NVMeFeature.h"

namespace drivekit::features::nvme_features {

class NVMeFeature_HostBehaviorSupport : public NVMeFeature {
public:
    static constexpr uint8_t id = 0x16;
    static constexpr uint32_t structureBytes = 512;

    explicit NVMeFeature_HostBehaviorSupport(std::shared_ptr<core::Device> device);

    // Writes each switch the caller gave into the structure and sends it; none given is
    // "No properties specified for this feature." and nothing is sent.
    core::Status setProperty(core::Status& status) override;
    core::AttributeCollection getProperties() override;

protected:
    // An answer shorter than the structure is "The IO command passed, but did not return the
    // expected amount of data."
    core::Status checkAnswer(const core::Payload& answer) const override;
};

// True once the class is in the NVMe-feature registry; reading it keeps this unit, and so its
// registration, in a program linked from the static library.
extern const bool hostBehaviorSupportRegistered;

}  // namespace drivekit::features::nvme_features
