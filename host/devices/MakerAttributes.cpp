#include "host/devices/MakerAttributes.h"

#include "drivekit/core/DeviceAttributes.h"

namespace host::devices {

namespace attributes = drivekit::core::attributes;
namespace products = drivekit::core::products;

void applyMakerAttributes(drivekit::core::AttributeCollection& out, products::Bus bus, uint16_t pciVendorId,
                          const std::string& family) {
    const std::string model = out.readString(attributes::modelNumber().key());
    const products::MakerModelPrefix* row =
        family.empty() ? products::recogniseDrive(bus, pciVendorId, model) : nullptr;
    const std::string product = row != nullptr ? row->family : family;
    const bool maker = !product.empty();
    out.writeBool(attributes::kestrova(), maker);
    out.writeBool(attributes::kestrovaNVMe(), maker && bus == products::Bus::nvme);
    out.writeBool(attributes::kestrovaGen3SATA(),
                  maker && bus == products::Bus::sata && products::isGen3SataFamily(product));
    out.writeBool(attributes::smi(), maker && products::hasSmiController(product));
    if (maker) {
        out.writeString(attributes::oem(), products::makerOem);
        out.writeString(attributes::product(), product);
    } else {
        // Another maker's drive: its model names the product.
        out.writeString(attributes::oem(), "");
        out.writeString(attributes::product(), model);
    }
}

}  // namespace host::devices
