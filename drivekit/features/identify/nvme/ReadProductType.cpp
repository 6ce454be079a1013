#include "drivekit/features/identify/nvme/ReadProductType.h"

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/ProductTable.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/identify/nvme/Identify.h"

namespace drivekit::features::identify::nvme {

namespace {
constexpr uint8_t cnsController = 0x01;
constexpr uint32_t controllerStructureBytes = 4096;
}  // namespace

void readProductType(core::Status& status, const std::shared_ptr<core::Device>& device, uint8_t& productType) {
    productType = 0;
    if (!device) {
        status = core::Status::commandSetNotSupported();
        return;
    }
    core::AttributeCollection attributes;
    attributes.writeUint8(definitions::controllerNamespaceStructure(), cnsController);
    attributes.writeUint32(definitions::namespaceId(), 0);
    Identify identify(device, attributes);
    LOG_DEBUG("Sending the identify command to get the total NVM capacity.");
    identify.identify(status);
    LOG_DEBUG("Identify status : " << status.message());
    const core::Payload& data = identify.data();
    if (!status.isSuccess() || data.size() < controllerStructureBytes ||
        !core::products::recordsProductType(device->attributes.readString(core::attributes::product().key()))) {
        return;
    }
    productType = *data.safeCast<uint8_t>(productTypeOffset);
}

}  // namespace drivekit::features::identify::nvme
