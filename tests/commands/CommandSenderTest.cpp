// How a command's outcome reaches its caller.
#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/ata/SMARTReadData.h"
#include "drivekit/commands/nvme/GetFeatures.h"
#include "drivekit/commands/nvme/GetLogPage.h"

using namespace drivekit;
using drivekit::commands::CommandSender;
using drivekit::core::Payload;
using drivekit::core::Status;

namespace {

// Answers every command with the configured record and counts what it was sent.
class FakeDevice : public core::Device {
public:
    std::set<std::string> protocols{"NVME"};
    Status status;
    Payload data;
    std::optional<Payload> completion;  // the protocol result, when there is one
    int sends = 0;
    int sendsWithBuffer = 0;

    bool isProtocolSupported(const std::string& protocol) const override { return protocols.count(protocol) != 0; }
    core::CommandResult sendCommand(core::Command&, const Payload&) override {
        ++sendsWithBuffer;
        return answer();
    }
    core::CommandResult sendCommand(core::Command&) override {
        ++sends;
        return answer();
    }

private:
    core::CommandResult answer() const {
        core::CommandResult result;
        result.status = status;
        result.data = data;
        if (completion) {
            result.protocolResult = std::make_unique<core::ProtocolResult>(*completion);
        }
        return result;
    }
};

Payload bytes(std::initializer_list<uint8_t> values) {
    return Payload(values.begin(), values.size());
}

}  // namespace

// A failure is mapped to the protocol's status and leaves the earlier data in place.
TEST(CommandSenderStatus, SuccessSharesTheDevicesDataAFailureLeavesItAloneAndOtherProtocolsAreRefused) {
    FakeDevice device;
    device.data = bytes({1, 2, 3, 4});
    CommandSender sender(device);
    commands::nvme::GetLogPage command;
    EXPECT_TRUE(sender.send(command, Payload()).isSuccess());
    EXPECT_EQ(device.sendsWithBuffer, 1);
    EXPECT_EQ(device.sends, 0);
    const uint8_t* before = sender.data().data();
    EXPECT_EQ(before, device.data.data());  // shared, not copied
    EXPECT_TRUE(sender.requireData(4).isSuccess());
    EXPECT_EQ(sender.requireData(5), Status::unexpectedDataLength());

    device.data = bytes({7});
    device.status = Status(5, 0, "category only");  // code 0 is not enough for success
    EXPECT_EQ(sender.send(command), Status::nvmeCommandProblem());
    EXPECT_EQ(sender.data().data(), before);
    EXPECT_EQ(sender.data().size(), 4u);

    // A failure that never reached the drive's command set keeps its status and wording.
    for (Status below : {Status::deviceGone(), Status::accessRefused(), Status::transferRefused(),
                         Status::commandTimedOut(), Status::systemError()}) {
        below.setMessage("what the system said");
        device.status = below;
        const Status seen = sender.send(command);
        EXPECT_EQ(seen, below);
        EXPECT_EQ(seen.message(), "what the system said");
    }
    EXPECT_FALSE(device.goneStatus().isSuccess());

    // A protocol the drive does not speak is refused unsent; an ATA failure keeps its own status.
    commands::ata::SMARTReadData ataCommand;
    const int sent = device.sends;
    EXPECT_EQ(sender.send(ataCommand), Status::commandSetNotSupported());
    EXPECT_EQ(device.sends, sent);
    device.protocols.insert("ATA");
    device.status = Status(0, 77, "drive aborted");
    EXPECT_EQ(sender.send(ataCommand), Status(0, 77, "drive aborted"));
}

TEST(CommandSenderStatus, CompletionValueNeedsAProtocolResult) {
    FakeDevice device;
    CommandSender sender(device);
    commands::nvme::GetFeatures command;
    uint32_t value = 0xDEAD;
    ASSERT_TRUE(sender.send(command).isSuccess());
    EXPECT_EQ(sender.completionValue(value), Status::noProtocolResult());
    EXPECT_EQ(value, 0xDEADu);

    device.completion = bytes({0x78, 0x56, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(sender.send(command).isSuccess());
    EXPECT_TRUE(sender.completionValue(value).isSuccess());
    EXPECT_EQ(value, 0x12345678u);

    device.completion = bytes({0x01, 0x02});  // too short to hold dword 0
    ASSERT_TRUE(sender.send(command).isSuccess());
    EXPECT_EQ(sender.completionValue(value), Status::noProtocolResult());

    device.completion = bytes({0x78, 0x56, 0x34, 0x12});
    ASSERT_TRUE(sender.send(command).isSuccess());
    device.status = Status(0, 77, "failed");  // a failed command leaves no earlier value to read
    EXPECT_FALSE(sender.send(command).isSuccess());
    EXPECT_EQ(sender.completionValue(value), Status::noProtocolResult());
}
