// An NVMe drive on Windows over the fake seam: which request each command becomes, and what the
// caller gets back from a driver that answers, lies about its data, or refuses.
#include "host/devices/win/WinNvmeDrive.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "drivekit/commands/ata/IdentifyDevice.h"
#include "drivekit/commands/nvme/AdminCommand.h"
#include "drivekit/commands/nvme/SetFeatures.h"
#include "host/SimTestSupport.h"
#include "host/devices/win/StorageLayouts.h"
#include "host/win/FakeIoControl.h"

namespace host::win_drives {
namespace {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;
using testing::FakeIoControl;
using testing::putDword;
using testing::RecordedRequest;

// A driver that answers every request whole: the query's descriptor echoed with its data, the
// set's descriptor, or the protocol command's success; data filled with 0xA5 and 0xC0FFEE as the
// completion's dword 0.
// shift moves the data offset it reports (to lie about where the data lies).
IoAnswer driver(const RecordedRequest& request, uint32_t shift) {
    IoAnswer answer{0, request.input};
    answer.output.resize(request.outputSize);
    if (request.controlCode == control_codes::storageQueryProperty) {
        putDword(answer.output, 0, 48);
        putDword(answer.output, 4, 48);
        putDword(answer.output, 8 + 16, 40 + shift);
        putDword(answer.output, 8 + 24, 0xC0FFEE);
        std::fill(answer.output.begin() + 48, answer.output.end(), 0xA5);
    } else if (request.controlCode == control_codes::storageSetProperty) {
        putDword(answer.output, 8 + 24, 0xC0FFEE);
    } else {
        putDword(answer.output, 16, 1);
        putDword(answer.output, 64, 0xC0FFEE);
        std::fill(answer.output.begin() + 144, answer.output.end(), 0xA5);
    }
    return answer;
}

TEST(WinNvmeDrive, CommandsTakeTheirPathAndAnswersComeBackChecked) {
    auto identify = sim_test::identify(0x01);
    auto logPage = sim_test::logPage(0x02, 512, 0x200);
    nvme::AdminCommand vendor(0xF2, nvme::DataDirection::fromDrive, 64);
    nvme::SetFeatures setFeatures;
    setFeatures.setFeatureId(0x02);
    const struct {
        const char* what;
        nvme::Command* command;
        uint32_t controlCode;
        uint32_t shift;
        uint32_t dataLength;
        bool good;
    } cases[] = {
        {"Identify", &identify, control_codes::storageQueryProperty, 0, 4096, true},
        {"Get Log Page", &logPage, control_codes::storageQueryProperty, 0, 512, true},
        {"vendor receive", &vendor, control_codes::storageProtocolCommand, 0, 64, true},
        {"Set Features", &setFeatures, control_codes::storageSetProperty, 0, 0, true},
        {"a log page the driver places past its answer", &logPage, control_codes::storageQueryProperty, 16, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto io = std::make_unique<FakeIoControl>();
        FakeIoControl& fake = *io;
        fake.respondWith([&](const RecordedRequest& request) { return driver(request, c.shift); });
        WinNvmeDrive drive(fake.path());
        drive.attach(std::move(io));
        const core::CommandResult result = drive.sendCommand(*c.command);
        ASSERT_EQ(fake.requests.size(), 1u);
        EXPECT_EQ(fake.requests.front().controlCode, c.controlCode);
        ASSERT_EQ(result.status.isSuccess(), c.good) << result.status.message();
        if (!c.good) {
            EXPECT_EQ(result.status, core::Status::unexpectedDataLength());
            EXPECT_TRUE(result.data.empty());
            continue;
        }
        ASSERT_EQ(result.data.size(), c.dataLength);
        if (c.dataLength != 0) {
            EXPECT_EQ(result.data.data()[c.dataLength - 1], 0xA5);
        }
        ASSERT_TRUE(result.protocolResult);
        EXPECT_EQ(result.protocolResult->data().safeCast<nvme::CompletionEntry>()->dw0, 0xC0FFEEu);
    }
}

TEST(WinNvmeDrive, ARefusedRequestIsAStatusAndOtherProtocolsAreNotSent) {
    auto io = std::make_unique<FakeIoControl>(R"(\\.\PhysicalDrive3)");
    FakeIoControl& fake = *io;
    fake.refuse(5);
    fake.refuse(1);
    WinNvmeDrive drive(fake.path());
    nvme::SetFeatures setFeatures;
    const core::CommandResult notOpen = drive.sendCommand(setFeatures);
    EXPECT_NE(notOpen.status.message().find("is not open"), std::string::npos) << notOpen.status.message();
    drive.attach(std::move(io));
    auto logPage = sim_test::logPage(0x02, 512);
    const core::CommandResult refused = drive.sendCommand(logPage);
    EXPECT_EQ(refused.status, core::Status::accessRefused());
    EXPECT_NE(refused.status.message().find(R"(\\.\PhysicalDrive3)"), std::string::npos) << refused.status.message();
    EXPECT_FALSE(refused.protocolResult);
    // A feature the driver does not pass on: said so, as a command the drive does not support.
    const core::CommandResult unsupported = drive.sendCommand(setFeatures);
    EXPECT_EQ(unsupported.status, core::Status::commandSetNotSupported());
    EXPECT_NE(unsupported.status.message().find("does not support SetFeatures"), std::string::npos)
        << unsupported.status.message();

    drivekit::commands::ata::IdentifyDevice ata;
    EXPECT_EQ(drive.sendCommand(ata).status, core::Status::commandSetNotSupported());
    EXPECT_EQ(fake.requests.size(), 2u);
}

}  // namespace
}  // namespace host::win_drives
