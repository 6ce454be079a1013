#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivekit/core/DeviceAttributes.h"
#include "host/devices/MakerAttributes.h"

namespace {

namespace core = drivekit::core;
namespace products = drivekit::core::products;
using products::Bus;

struct MakerCase {
    const char* what;
    Bus bus;
    uint16_t pciVendorId;
    std::string model;
    std::string family;  // as --as-maker names it; empty: the product table decides
    std::string product;
    bool maker, nvme, gen3Sata, smi;
};

}  // namespace

TEST(MakerAttributes, TheProductTableOrTheNamedFamilyDecidesEveryFlag) {
    const std::vector<MakerCase> cases = {
        {"the vendor-page family by model", Bus::nvme, 0x1E4B, "  VH-N2000-1T", "", "Varnholt", true, true, false,
         true},
        {"the maker's model prefix under another vendor id", Bus::nvme, 0x1b36, "VH-N2000-1T", "", "VH-N2000-1T",
         false, false, false, false},
        {"the general NVMe family", Bus::nvme, 0x1E4B, "KS-N1000-1T", "", "Kestrova", true, true, false, false},
        {"a SATA drive by model alone", Bus::sata, 0, "Kestrova KS3 960GB", "", "Aldermoor", true, false, true,
         false},
        {"--as-maker with the vendor-page family", Bus::nvme, 0x1b36, "QEMU NVMe Ctrl", "Varnholt", "Varnholt",
         true, true, false, true},
        {"--as-maker with the SATA family", Bus::sata, 0, "QEMU HARDDISK", "Aldermoor", "Aldermoor", true, false,
         true, false},
        {"--as-maker with an NVMe family on SATA", Bus::sata, 0, "QEMU HARDDISK", "Kestrova", "Kestrova", true,
         false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        core::AttributeCollection drive;
        drive.writeString(core::attributes::modelNumber(), c.model);
        // Flags left by an earlier decision must not survive a new one.
        drive.writeBool(core::attributes::smi(), true);
        drive.writeBool(core::attributes::kestrovaGen3SATA(), true);
        host::devices::applyMakerAttributes(drive, c.bus, c.pciVendorId, c.family);
        EXPECT_EQ(c.product, drive.readString("Product"));
        EXPECT_EQ(c.maker ? "Kestrova" : "", drive.readString("OEM"));
        EXPECT_EQ(c.maker, drive.readBool("Kestrova"));
        EXPECT_EQ(c.nvme, drive.readBool("KestrovaNVMe"));
        EXPECT_EQ(c.gen3Sata, drive.readBool("KestrovaGen3SATA"));
        EXPECT_EQ(c.smi, drive.readBool("SMI"));
    }
}
