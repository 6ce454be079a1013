#pragma once
// NVMe Identify: one 4096-byte structure chosen by the "ControllerNamespaceStructure",
// "NamespaceId" and "CSI" attributes.
#include <cstdint>

#include "drivekit/features/identify/IdentifyInterface.h"

namespace drivekit::features::identify::nvme {

class Identify : public IdentifyInterface {
public:
    static constexpr uint8_t cnsNamespace = 0x00;
    static constexpr uint8_t cnsAllocatedNamespace = 0x11;
    static constexpr uint32_t allNamespaces = 0xFFFFFFFF;

    Identify(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes);

    core::Status identify(core::Status& status) override;
    core::Status canRun(core::Status& status) override;
    void toXmlObject(std::unique_ptr<core::xml::XmlObject>& object) override;

    // The CNS put on the wire for the requested one: a vendor driver of a drive that manages
    // namespaces reads a single namespace through its allocated form, which also answers for
    // namespaces that are not attached. The inbox driver only passes CNS 0x00.
    uint8_t cnsToSend() const;

private:
    uint8_t cnsRead_ = 0;
    bool hasData_ = false;
};

}  // namespace drivekit::features::identify::nvme
