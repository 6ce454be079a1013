// A SATA disk on Windows over the fake seam: each command goes as one ATA pass-through with its
// transfer, the SMART path is open only to SMART commands of a disk that supports them, and the
// registers come back as the command's result.
#include "host/devices/win/WinAtaDrive.h"

#include <gtest/gtest.h>

#include "drivekit/commands/ata/IdentifyDevice.h"
#include "drivekit/commands/ata/ReadDMA.h"
#include "drivekit/commands/ata/StandbyImmediate.h"
#include "drivekit/commands/smart/SMARTReadData.h"
#include "drivekit/commands/smart/SMARTReadThresholds.h"
#include "host/devices/win/StorageLayouts.h"
#include "host/win/FakeIoControl.h"

namespace host::win_drives {
namespace {

namespace core = drivekit::core;
namespace ata = drivekit::commands::ata;
using testing::FakeIoControl;
using testing::RecordedRequest;

// A disk that moves every byte asked, filled with 0x5A, and ends with the given status register.
FakeIoControl::Responder disk(uint8_t status) {
    return [status](const RecordedRequest& request) {
        IoAnswer answer{0, request.input};
        std::fill(answer.output.begin() + 48, answer.output.end(), 0x5A);
        answer.output[46] = status;
        answer.output[40] = status & 1 ? 0x04 : 0;
        return answer;
    };
}

TEST(WinAtaDrive, CommandsGoAsPassThroughsAndTheRegistersDecide) {
    ata::IdentifyDevice identify;
    drivekit::commands::smart::SMARTReadData smartData;
    drivekit::commands::smart::SMARTReadThresholds thresholds;
    ata::StandbyImmediate standby;
    ata::ReadDMA read;
    read.transferBlocks = 2;
    const struct {
        const char* what;
        core::Command* command;
        uint8_t status;
        std::size_t requestBytes;
        std::size_t dataBytes;
        core::Status expected;
    } cases[] = {
        {"IDENTIFY DEVICE", &identify, 0x50, 48 + 512, 512, core::Status::success()},
        {"SMART READ DATA", &smartData, 0x50, 48 + 512, 512, core::Status::success()},
        {"SMART READ THRESHOLDS", &thresholds, 0x50, 48 + 512, 512, core::Status::success()},
        {"STANDBY IMMEDIATE", &standby, 0x50, 48, 0, core::Status::success()},
        {"a read of two 4 KiB logical sectors", &read, 0x50, 48 + 8192, 8192, core::Status::success()},
        {"an aborted command", &identify, 0x51, 48 + 512, 0, core::Status::custom()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto io = std::make_unique<FakeIoControl>();
        FakeIoControl& fake = *io;
        fake.respondWith(disk(c.status));
        WinAtaDrive drive(fake.path());
        drive.attach(std::move(io));
        drive.setSmartSupported(true);
        drive.setLogicalSectorBytes(4096);
        const core::CommandResult result = drive.sendCommand(*c.command);
        ASSERT_EQ(fake.requests.size(), 1u);
        EXPECT_EQ(fake.requests.front().controlCode, control_codes::ataPassThrough);
        EXPECT_EQ(fake.requests.front().input.size(), c.requestBytes);
        EXPECT_EQ(result.status, c.expected) << result.status.message();
        ASSERT_EQ(result.data.size(), c.dataBytes);
        if (c.dataBytes != 0) {
            EXPECT_EQ(result.data.data()[c.dataBytes - 1], 0x5A);
        }
        ASSERT_TRUE(result.protocolResult) << "the registers, whatever they say";
        EXPECT_EQ(result.protocolResult->data().safeCast<ata::TaskFile>()->command, c.status);
    }
}

TEST(WinAtaDrive, SmartPathAndRefusalsNeverReachTheDiskOrSayWhy) {
    auto io = std::make_unique<FakeIoControl>(R"(\\.\PhysicalDrive2)");
    FakeIoControl& fake = *io;
    WinAtaDrive drive(fake.path());
    drive.attach(std::move(io));
    drivekit::commands::smart::SMARTReadData smartData;
    EXPECT_EQ(drive.sendCommand(smartData).status, core::Status::commandSetNotSupported())
        << "SMART not supported by the disk";
    EXPECT_TRUE(fake.requests.empty());

    fake.refuse(5);
    ata::IdentifyDevice identify;
    const core::CommandResult refused = drive.sendCommand(identify);
    EXPECT_EQ(refused.status, core::Status::accessRefused());
    EXPECT_EQ(refused.status.message(), R"(needs administrator rights for \\.\PhysicalDrive2)");
    EXPECT_FALSE(refused.protocolResult);

    fake.queue(std::vector<uint8_t>(20));
    const core::CommandResult shortAnswer = drive.sendCommand(identify);
    EXPECT_EQ(shortAnswer.status, core::Status::unexpectedDataLength());
    EXPECT_FALSE(shortAnswer.protocolResult) << "no registers in an answer too short to hold them";
}

}  // namespace
}  // namespace host::win_drives
