#pragma once
// ATA IDENTIFY DEVICE: the drive's 512-byte identify sector.
#include "drivekit/features/identify/IdentifyInterface.h"

namespace drivekit::features::identify::ata {

class Identify : public IdentifyInterface {
public:
    Identify(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes);

    core::Status identify(core::Status& status) override;
    core::Status canRun(core::Status& status) override;
    void toXmlObject(std::unique_ptr<core::xml::XmlObject>& object) override;

private:
    bool hasData_ = false;
};

}  // namespace drivekit::features::identify::ata
