// Identify Controller (CNS 0x01) of the simulated drive.
#include <algorithm>
#include <cstdio>

#include "drivekit/features/identify/IdentifyControllerBits.h"
#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimIdentifyBuilders.h"
#include "host/devices/sim/identify/SimIdentifyStructures.h"

namespace host::sim {

namespace {

using namespace drivekit::features::identify;

// Vendor-specific byte that holds the product type.
constexpr uint32_t productTypeOffset = 0xF05;

std::string subsystemName(const SimProfile& profile, const std::string& serial, const std::string& model) {
    char prefix[64];
    std::snprintf(prefix, sizeof(prefix), "nqn.2014.08.org.nvmexpress:%04x%04x", profile.vendorId,
                  profile.subsystemVendorId);
    return prefix + serial + " " + model;
}

}  // namespace

SimResponse buildIdentifyController(const SimIdentifyRequest& request) {
    const SimProfile& profile = request.profile;
    const auto& attributes = profile.attributes;
    const std::string serial = attributes.readString(definitions::serialNumber().key());
    const std::string model = attributes.readString(definitions::modelNumber().key());

    SimBytes data(SimIdentify::structureSize);
    data.u16(0, profile.vendorId);
    data.u16(2, profile.subsystemVendorId);
    data.ascii(4, 20, serial);
    data.ascii(24, 40, model);
    data.ascii(64, 8, attributes.readString(definitions::firmware().key()));
    data.u8(72, 6);  // recommended arbitration burst
    data.u8(73, profile.ieeeOui & 0xFF);
    data.u8(74, (profile.ieeeOui >> 8) & 0xFF);
    data.u8(75, (profile.ieeeOui >> 16) & 0xFF);
    data.u8(77, attributes.readUint8(definitions::maximumDataTransferSize().key()));
    data.u16(78, 1);  // controller id
    data.u32(80, profile.version);
    data.u32(96, attributes.readBool(definitions::uuidSupported().key()) ? ctrattUuidList : 0);
    data.u8(111, 1);  // I/O controller

    uint16_t oacs = oacsFirmware;
    if (attributes.readBool(definitions::namespaceManagementSupported().key())) {
        oacs |= oacsNamespaceManagement;
    }
    data.u16(256, oacs);
    data.u8(258, 3);  // abort command limit
    data.u8(259, 3);  // asynchronous event request limit
    const auto slots = static_cast<uint8_t>(profile.firmwareSlots.empty() ? 1 : profile.firmwareSlots.size());
    data.u8(260, static_cast<uint8_t>(slots << lowestBit(frmwSlotCount)));
    uint8_t lpa = lpaCommandEffects | lpaExtendedData;
    if (attributes.readBool(definitions::telemetryLogSupported().key())) {
        lpa |= lpaTelemetry;
        if (profile.hostTelemetryLastBlocks[3] != 0) {
            lpa |= lpaDataArea4;
        }
    }
    data.u8(261, lpa);
    data.u8(262, attributes.readUint8(definitions::numErrorLogPageEntries().key()));
    data.u16(266, 343);  // warning composite temperature threshold, kelvin
    data.u16(268, 352);  // critical composite temperature threshold, kelvin
    data.u128(280, profile.capacityBytes);
    const uint64_t allocated = simIdentify::allocatedBytes(profile);
    data.u128(296, profile.capacityBytes > allocated ? profile.capacityBytes - allocated : 0);
    data.u8(512, 0x66);  // submission queue entry size 64
    data.u8(513, 0x44);  // completion queue entry size 16
    data.u32(516, SimIdentify::namespaceCount(profile));
    data.u16(520, 0x0004);  // dataset management
    data.u8(525, 0x01);     // volatile write cache present
    const std::string nqn = subsystemName(profile, serial, model);
    data.bytes(768, reinterpret_cast<const uint8_t*>(nqn.data()),
               static_cast<uint32_t>(std::min<size_t>(nqn.size(), 255)));  // zero padded
    data.u16(2048, 825);  // power state 0: 8.25 W
    // The maker's drives carry their product type in the vendor-specific area, the same
    // number as the firmware parameter record's first field.
    if (attributes.readBool(definitions::kestrovaNVMe().key())) {
        data.u8(productTypeOffset, static_cast<uint8_t>(profile.firmwareParameters.fields[0]));
    }
    return SimResponse::withData(data.payload());
}

}  // namespace host::sim
