#pragma once
// Reads a drive's identify data through the protocol the drive speaks: ATA IDENTIFY DEVICE
// when the drive takes ATA commands, NVMe Identify otherwise.
#include <functional>
#include <memory>

#include "drivekit/features/identify/IdentifyInterface.h"

namespace drivekit::features::identify {

class Identify : public IdentifyInterface {
public:
    using StatusNotification = std::function<void(const core::Status&)>;

    // Chooses the implementation; sends nothing.
    Identify(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes);

    core::Status identify(core::Status& status) override;
    core::Status canRun(core::Status& status) override;
    void toXmlObject(std::unique_ptr<core::xml::XmlObject>& object) override;

    // Drops the implementation held and picks one from the drive's protocols (ATA first).
    void setIdentifyObject();
    // The implementation held; null when the drive speaks neither protocol.
    IdentifyInterface* implementation() const { return implementation_.get(); }
    // Called with the outcome of every canRun.
    void setStatusNotification(StatusNotification notification) { notification_ = std::move(notification); }

private:
    std::unique_ptr<IdentifyInterface> implementation_;
    StatusNotification notification_;
};

}  // namespace drivekit::features::identify
