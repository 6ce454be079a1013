// ATA commands through the storage driver's ATA pass-through: the request's bytes and the
// registers and data that come back.
#include "host/devices/win/AtaPassThroughRequest.h"

#include <gtest/gtest.h>

#include "drivekit/commands/ata/StandbyImmediate.h"
#include "drivekit/commands/smart/SMARTReadData.h"
#include "host/win/FakeIoControl.h"

namespace host::win_drives {
namespace {

namespace core = drivekit::core;
using testing::dwords;

// The request's head: length and flags, the address bytes, the data length, the time-out, the
// reserved dword and padding, then the 64-bit data offset.
std::vector<uint8_t> head(uint16_t flags, uint32_t length, uint32_t timeout, uint32_t offset) {
    return dwords({48u | uint32_t{flags} << 16, 0, length, timeout, 0, 0, offset, 0});
}

TEST(AtaPassThroughRequest, CommandsBecomeTheirRequestsByteForByte) {
    const drivekit::commands::smart::SMARTReadData smart;
    std::vector<uint8_t> expected = head(0x03, 512, 10, 48);
    const std::vector<uint8_t> taskFiles{0, 0, 0, 0, 0, 0, 0, 0, 0xD0, 0, 0, 0x4F, 0xC2, 0, 0xB0, 0};
    expected.insert(expected.end(), taskFiles.begin(), taskFiles.end());
    expected.resize(48 + 512);
    EXPECT_EQ(encodeAtaPassThrough(smart, 512, 10, nullptr), expected);

    const drivekit::commands::ata::StandbyImmediate standby;
    std::vector<uint8_t> nonData = head(0x01, 0, 10, 0);
    const std::vector<uint8_t> standbyFiles{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0};
    nonData.insert(nonData.end(), standbyFiles.begin(), standbyFiles.end());
    EXPECT_EQ(encodeAtaPassThrough(standby, 0, 10, nullptr), nonData);

    drivekit::commands::ata::Command extended("WriteLogExt");
    extended.flags().dataOut = true;
    extended.flags().extended = true;
    extended.previous().sectorCount = 0x01;
    extended.current().command = 0x3F;
    const uint8_t bytes[] = {9, 8};
    const core::Payload out(bytes, sizeof(bytes));
    const std::vector<uint8_t> write = encodeAtaPassThrough(extended, 4, 10, &out);
    ASSERT_EQ(write.size(), 52u);
    EXPECT_EQ(write[2], 0x01 | 0x04 | 0x08) << "ready, data out, 48-bit";
    EXPECT_EQ(write[33], 0x01) << "previous sector count";
    EXPECT_EQ(std::vector<uint8_t>(write.begin() + 48, write.end()), (std::vector<uint8_t>{9, 8, 0, 0}));
}

TEST(AtaPassThroughRequest, RegistersAndTheDataPlaceDecideTheOutcome) {
    const drivekit::commands::smart::SMARTReadData smart;
    const auto answered = [&](uint8_t status, uint8_t error, uint32_t moved, std::size_t size) {
        std::vector<uint8_t> output = encodeAtaPassThrough(smart, 512, 10, nullptr);
        testing::putDword(output, 8, moved);
        output[40] = error;
        output[46] = status;
        output[48] = 0x10;
        output.resize(size);
        return output;
    };
    AtaAnswer decoded;
    ASSERT_TRUE(decodeAtaPassThrough(answered(0x50, 0, 512, 560), 512, true, decoded).isSuccess());
    EXPECT_EQ(decoded.data.size(), 512u);
    EXPECT_EQ(decoded.data.data()[0], 0x10);
    EXPECT_EQ(decoded.registers.command, 0x50);

    const core::Status aborted = decodeAtaPassThrough(answered(0x51, 0x04, 512, 560), 512, true, decoded);
    EXPECT_EQ(aborted.message(), "ATA command aborted (status 0x51, error 0x04).");
    EXPECT_EQ(decoded.registers.feature, 0x04) << "the registers are kept for the caller";
    EXPECT_FALSE(decodeAtaPassThrough(answered(0x70, 0, 512, 560), 512, true, decoded).isSuccess()) << "device fault";

    EXPECT_EQ(decodeAtaPassThrough(answered(0x50, 0, 512, 300), 512, true, decoded),
              core::Status::unexpectedDataLength())
        << "less data returned than the driver says it moved";
    ASSERT_TRUE(decodeAtaPassThrough(answered(0x50, 0, 100, 560), 512, true, decoded).isSuccess());
    EXPECT_EQ(decoded.data.size(), 100u) << "what the driver says it moved";
    EXPECT_EQ(decodeAtaPassThrough(std::vector<uint8_t>(40), 512, true, decoded), core::Status::unexpectedDataLength());
}

}  // namespace
}  // namespace host::win_drives
