#include <gtest/gtest.h>

#include "drivekit/commands/nvme/AdminCommand.h"
#include "host/devices/VendorCommandGate.h"

namespace {

using drivekit::commands::nvme::AdminCommand;
using drivekit::commands::nvme::DataDirection;
using drivekit::core::Status;
using host::devices::VendorCommandGate;

AdminCommand nvmeCommand(uint8_t opcode, uint32_t cdw10) {
    AdminCommand command(opcode, DataDirection::fromDrive, 4096);
    command.entry().cdw10 = cdw10;
    return command;
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
            const AdminCommand command = nvmeCommand(opcode, cdw10);
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
