// The maker's own NVMe commands through the storage driver's protocol command.
#include "host/devices/win/NvmeProtocolCommand.h"

#include <gtest/gtest.h>

#include "host/win/FakeIoControl.h"

namespace host::win_drives {
namespace {

namespace core = drivekit::core;
using testing::dwords;
using testing::putDword;

drivekit::commands::nvme::SubmissionEntry vendorEntry() {
    drivekit::commands::nvme::SubmissionEntry e{};
    e.setOpcode(0xC2);
    e.nsid = 1;
    e.cdw10 = 0x80;
    e.cdw12 = 0xABCD;
    return e;
}

TEST(NvmeProtocolCommand, AVendorCommandGoesWithItsHeadCommandAndDataRoom) {
    const ProtocolTransfer transfer{true, false, 256};
    const std::vector<uint8_t> request = encodeProtocolCommand(vendorEntry(), transfer, 30, nullptr);
    // Version, length, NVMe, adapter request; status and error code 0; a 64-byte command with no
    // error information; 256 bytes from the device at 144; 30 s; an admin command.
    std::vector<uint8_t> expected =
        dwords({1, 84, 3, 0x80000000, 0, 0, 64, 0, 0, 256, 30, 0, 0, 144, 1, 0, 0, 0, 0, 0});
    const std::vector<uint8_t> command = dwords({0xC2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0xABCD, 0, 0, 0});
    expected.insert(expected.end(), command.begin(), command.end());
    expected.resize(144 + 256);
    EXPECT_EQ(request, expected);

    const uint8_t bytes[] = {1, 2, 3};
    const core::Payload out(bytes, sizeof(bytes));
    const std::vector<uint8_t> write = encodeProtocolCommand(vendorEntry(), {false, true, 8}, 30, &out);
    ASSERT_EQ(write.size(), 152u);
    EXPECT_EQ(std::vector<uint8_t>(write.begin() + 32, write.begin() + 36), dwords({8})) << "to-device length";
    EXPECT_EQ(std::vector<uint8_t>(write.begin() + 48, write.begin() + 52), dwords({144})) << "to-device offset";
    EXPECT_EQ(std::vector<uint8_t>(write.begin() + 144, write.end()), (std::vector<uint8_t>{1, 2, 3, 0, 0, 0, 0, 0}));
}

TEST(NvmeProtocolCommand, TheDriversStatusAndDataPlaceDecideTheOutcome) {
    const ProtocolTransfer transfer{true, false, 16};
    const auto answered = [&](uint32_t returnStatus, uint32_t errorCode, uint32_t moved, uint32_t offset) {
        std::vector<uint8_t> output = encodeProtocolCommand(vendorEntry(), transfer, 30, nullptr);
        putDword(output, 16, returnStatus);
        putDword(output, 20, errorCode);
        putDword(output, 36, moved);
        putDword(output, 52, offset);
        putDword(output, 64, 0x55);
        output[144] = 0xEE;
        return output;
    };
    ProtocolAnswer decoded;
    ASSERT_TRUE(decodeProtocolCommand(answered(1, 0, 16, 144), transfer, decoded).isSuccess());
    EXPECT_EQ(decoded.data.size(), 16u);
    EXPECT_EQ(decoded.data.data()[0], 0xEE);
    EXPECT_EQ(decoded.fixedReturnData, 0x55u);

    core::Status status = decodeProtocolCommand(answered(2, 0x4002, 16, 144), transfer, decoded);
    EXPECT_EQ(status, core::Status::nvmeCommandProblem());
    EXPECT_NE(status.message().find("error (0x2, error code 0x4002)"), std::string::npos) << status.message();
    EXPECT_EQ(decodeProtocolCommand(answered(0xFF, 0, 16, 144), transfer, decoded),
              core::Status::commandSetNotSupported());
    EXPECT_EQ(decodeProtocolCommand(answered(1, 0, 32, 144), transfer, decoded), core::Status::unexpectedDataLength())
        << "more than asked";
    EXPECT_EQ(decodeProtocolCommand(answered(1, 0, 16, 150), transfer, decoded), core::Status::unexpectedDataLength())
        << "past the end";
    EXPECT_EQ(decodeProtocolCommand(answered(1, 0, 16, 8), transfer, decoded), core::Status::unexpectedDataLength())
        << "over the head";
    EXPECT_EQ(decodeProtocolCommand(std::vector<uint8_t>(60), transfer, decoded), core::Status::unexpectedDataLength());
}

}  // namespace
}  // namespace host::win_drives
