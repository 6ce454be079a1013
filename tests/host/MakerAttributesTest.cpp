// What the host decides about the maker's drives: the flags of a drive's family, and the vendor
// commands it keeps from them unless told otherwise.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "drivekit/commands/nvme/AdminCommand.h"
#include "drivekit/core/DeviceAttributes.h"
#include "host/devices/MakerAttributes.h"
#include "host/devices/VendorCommandGate.h"

namespace {

namespace core = drivekit::core;
using drivekit::commands::nvme::AdminCommand;
using drivekit::commands::nvme::DataDirection;
using drivekit::core::Status;
using host::devices::VendorCommandGate;
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

TEST(VendorCommandGateTest, AClosedGateRefusesOnlyTheMakersOwnCommandsAndNamesEachOnce) {
    // Opcode, CDW10, the name under which a closed gate refuses it ("" lets it through).
    const std::vector<std::tuple<uint8_t, uint32_t, std::string>> cases{
        {0xF1, 0x2B, "Vendor Send (0xF1)"},
        {0xF2, 0x2B, "Vendor Receive (0xF2)"},
        {0x09, 0x800000FA, "Set Features 0xFA"},
        {0x09, 0x16, ""},    // Host Behavior Support, around the telemetry read
        {0x09, 0xFA00, ""},  // the feature id is CDW10 bits 7:0 only
        {0x0A, 0xFA, ""},    // Get Features of the same id changes nothing
        {0x02, 0x00FF00FA, ""},  // the maker's log pages are read as before
        {0x06, 0x01, ""},
    };
    VendorCommandGate open;
    VendorCommandGate closed;
    closed.closeToVendorCommands();
    for (int round = 0; round < 2; ++round) {
        for (const auto& [opcode, cdw10, name] : cases) {
            AdminCommand command(opcode, DataDirection::fromDrive, 4096);
            command.entry().cdw10 = cdw10;
            EXPECT_TRUE(open.admit(command).isSuccess()) << name;
            const Status status = closed.admit(command);
            EXPECT_EQ(name.empty(), status.isSuccess()) << int(opcode) << " " << cdw10;
            if (!name.empty()) {
                // Taken as a drive that does not support the command, and saying why.
                EXPECT_EQ(Status::featureNotSupportedByDrive(), status);
                EXPECT_EQ(0u, status.message().find(name)) << status.message();
                EXPECT_NE(std::string::npos, status.message().find("--vendor-commands")) << status.message();
            }
        }
    }
    EXPECT_TRUE(open.refusedCommands().empty());
    EXPECT_EQ((std::vector<std::string>{"Vendor Send (0xF1)", "Vendor Receive (0xF2)", "Set Features 0xFA"}),
              closed.refusedCommands());
}

}  // namespace
