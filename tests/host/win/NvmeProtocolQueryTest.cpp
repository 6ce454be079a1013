// NVMe Identify, Get Log Page and Get Features as property queries of the storage driver: the
// bytes sent, and the answers read only where they lie within what came back.
#include "host/devices/win/NvmeProtocolQuery.h"

#include <gtest/gtest.h>

#include "host/win/FakeIoControl.h"

namespace host::win_drives {
namespace {

namespace nvme = drivekit::commands::nvme;
using testing::dwords;
using testing::putDword;

nvme::SubmissionEntry entry(uint8_t opcode, uint32_t nsid, uint32_t cdw10, uint32_t cdw11 = 0, uint32_t cdw12 = 0,
                            uint32_t cdw13 = 0, uint32_t cdw14 = 0) {
    nvme::SubmissionEntry e{};
    e.setOpcode(opcode);
    e.nsid = nsid;
    e.cdw10 = cdw10;
    e.cdw11 = cdw11;
    e.cdw12 = cdw12;
    e.cdw13 = cdw13;
    e.cdw14 = cdw14;
    return e;
}

// The property, the NVMe data type, the four request values and the length, in the order the
// query lays them out.
std::vector<uint8_t> expectedQuery(uint32_t property, uint32_t dataType, uint32_t value, uint32_t sub,
                                   uint32_t length, uint32_t sub2, uint32_t sub3, uint32_t sub4) {
    std::vector<uint8_t> bytes = dwords({property, 0, 3, dataType, value, sub, 40, length, 0, sub2, sub3, sub4});
    bytes.resize(bytes.size() + length);
    return bytes;
}

TEST(NvmeProtocolQuery, EachCommandBecomesItsQueryByteForByte) {
    const struct {
        const char* what;
        nvme::SubmissionEntry command;
        uint32_t length;
        std::vector<uint8_t> expected;
    } cases[] = {
        {"Identify namespace 1", entry(0x06, 1, 0x00), 4096, expectedQuery(50, 1, 0, 1, 4096, 0, 0, 0)},
        {"Identify controller", entry(0x06, 0, 0x01), 4096, expectedQuery(49, 1, 1, 0, 4096, 0, 0, 0)},
        {"Identify active namespaces", entry(0x06, 0, 0x02), 4096, expectedQuery(49, 1, 2, 0, 4096, 0, 0, 0)},
        {"SMART log at a 33-bit offset", entry(0x02, 0xFFFFFFFF, 0x007F0002, 0, 0x200, 1), 512,
         expectedQuery(49, 2, 0x02, 0x200, 512, 1, 0, 0)},
        {"host telemetry, create, RAE, LSI, UUID index", entry(0x02, 0xFFFFFFFF, 0x007F8107, 0x12340000, 0, 0, 2), 512,
         expectedQuery(49, 2, 0x07, 0, 512, 0, 0x1234, 0x203)},
        {"Get Features, supported capabilities", entry(0x0A, 0, 0x316, 0x5), 0,
         expectedQuery(49, 3, 0x316, 0x5, 0, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto query = nvmeProtocolQuery(c.command, c.length);
        ASSERT_TRUE(query);
        EXPECT_EQ(encodeProtocolQuery(*query), c.expected);
    }
}

TEST(NvmeProtocolQuery, CommandsTheQueryCannotCarryAreLeftToOtherPaths) {
    EXPECT_FALSE(nvmeProtocolQuery(entry(0x06, 0, 0x00010001), 4096)) << "a controller identifier";
    EXPECT_FALSE(nvmeProtocolQuery(entry(0x06, 0, 0x01, 0x02000000), 4096)) << "a command set";
    EXPECT_FALSE(nvmeProtocolQuery(entry(0x02, 0xFFFFFFFF, 0x007F1002), 512)) << "an LSP above 15";
    EXPECT_FALSE(nvmeProtocolQuery(entry(0xC2, 0, 0), 512)) << "the maker's own command";
    EXPECT_FALSE(nvmeProtocolQuery(entry(0x09, 0, 0x16), 512)) << "Set Features";
}

// A driver's answer to a 16-byte query: the descriptor, then the data where offset says.
std::vector<uint8_t> answer(uint32_t offset, uint32_t length, std::size_t total, uint32_t fixed = 0) {
    std::vector<uint8_t> bytes(total);
    putDword(bytes, 0, 48);
    putDword(bytes, 4, 48);
    putDword(bytes, 8 + 16, offset);
    putDword(bytes, 8 + 20, length);
    putDword(bytes, 8 + 24, fixed);
    for (std::size_t i = 48; i < total; ++i) {
        bytes[i] = static_cast<uint8_t>(i);
    }
    return bytes;
}

TEST(NvmeProtocolQuery, AnswersAreReadOnlyWithinTheBytesReturned) {
    NvmeProtocolQuery query;
    query.dataLength = 16;
    const struct {
        const char* what;
        std::vector<uint8_t> output;
        bool good;
        uint32_t firstByte;
        uint32_t length;
    } cases[] = {
        {"data right after the descriptor", answer(40, 16, 64, 7), true, 48, 16},
        {"less data than asked, further on", answer(44, 8, 64), true, 52, 8},
        {"data past the end", answer(40, 16, 60), false, 0, 0},
        {"offset past the end", answer(4000, 4, 64), false, 0, 0},
        {"offset that wraps around", answer(0xFFFFFFF8, 16, 64), false, 0, 0},
        {"data over the descriptor", answer(0, 16, 64), false, 0, 0},
        {"more data than asked", answer(40, 24, 72), false, 0, 0},
        {"no room for the descriptor", std::vector<uint8_t>(40), false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProtocolAnswer decoded;
        const auto status = decodeProtocolAnswer(c.output, query, decoded);
        ASSERT_EQ(status.isSuccess(), c.good) << status.message();
        if (c.good) {
            ASSERT_EQ(decoded.data.size(), c.length);
            EXPECT_EQ(decoded.data.data()[0], c.firstByte);
        } else {
            EXPECT_EQ(status, drivekit::core::Status::unexpectedDataLength());
        }
    }
    ProtocolAnswer decoded;
    ASSERT_TRUE(decodeProtocolAnswer(answer(40, 16, 64, 0x1F), query, decoded).isSuccess());
    EXPECT_EQ(decoded.fixedReturnData, 0x1Fu) << "Get Features' value";
}

}  // namespace
}  // namespace host::win_drives
