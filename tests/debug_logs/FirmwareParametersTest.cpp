#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "plugins/plugin.debug_logs/debug_logs_common/FirmwareParameters.h"
#include "plugins/shared/vsc/VscDevice.h"
#include "support/FakeDrive.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"

namespace {

namespace core = drivekit::core;
namespace utils = plugin::cli::debug_logs::utils;

using Exchange = std::tuple<uint8_t, uint32_t, uint32_t>;  // opcode, CDW12, CDW13

// A drive of the maker that answers a vendor receive with the life-cycle state or the firmware
// parameter record, cut to the sizes a test gives.
std::shared_ptr<test_support::FakeDrive> vendorDrive(const std::string& serial, uint32_t state = 2, uint32_t cores = 4,
                                                     uint32_t instances = 2, uint32_t stateBytes = 4,
                                                     uint32_t recordBytes = 172) {
    auto drive = std::make_shared<test_support::FakeDrive>();
    drive->withSerialNumber(serial);
    core::Payload stateData(4), record(172);
    test_support::put(stateData, 0, state);
    test_support::put(record, 16, cores);
    test_support::put(record, 168, instances);
    const core::Payload stateAnswer(stateData.data(), stateBytes), recordAnswer(record.data(), recordBytes);
    drive->vendor = [=](const drivekit::commands::nvme::SubmissionEntry& entry) {
        core::CommandResult result;
        if (entry.opcode() == drivekit::commands::nvme::opcodes::vendorReceive) {
            result.data = entry.cdw12 == 0x830F1004 ? stateAnswer : recordAnswer;
        }
        return result;
    };
    return drive;
}

std::vector<Exchange> exchanges(const test_support::FakeDrive& drive) {
    std::vector<Exchange> list;
    for (const auto& entry : drive.sent) {
        list.emplace_back(entry.opcode(), uint32_t{entry.cdw12}, uint32_t{entry.cdw13});  // packed fields, copied
    }
    return list;
}

TEST(FirmwareParameters, ReadsThroughTheVendorChannelWithMatchingSequenceNumbersAndKeepsTheRecordPerDrive) {
    const uint16_t before = plugin::cli::vsc::VscDevice::sequenceNumber();
    auto first = vendorDrive("SN-FIRST", 2, 4, 2);
    core::Status status;
    {
        debug_logs_test::ConsoleCapture console;
        debug_logs_test::Verbosity verbose(1);
        utils::InitFWParams(status, first);
        ASSERT_TRUE(status.isSuccess()) << status.message();
        const std::string printed = console.text();
        EXPECT_NE(printed.find("ftl_cores         = 4\n"), std::string::npos);
        EXPECT_NE(printed.find("totalFTLs (ftl_cores * num_ftl_instances) = 8\n"), std::string::npos);
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 15);
    }
    // Each send and its receive share one sequence number.
    const uint32_t state = static_cast<uint16_t>(before + 1), record = static_cast<uint16_t>(before + 2);
    EXPECT_EQ(exchanges(*first), (std::vector<Exchange>{{0xF1, 0x830F1004, state}, {0xF2, 0x830F1004, state},
                                                         {0xF1, 0x83010003, record}, {0xF2, 0x83010003, record}}));
    EXPECT_EQ(utils::totalFTLs(*first), 8u);

    // The same drive is not asked again; a second drive gets its own count.
    utils::InitFWParams(status, first);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(first->sent.size(), 4u);
    auto second = vendorDrive("SN-SECOND", 0, 3, 3);
    utils::InitFWParams(status, second);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(utils::totalFTLs(*second), 9u);
    EXPECT_EQ(utils::totalFTLs(*first), 8u);
    utils::InitFWParams(status, nullptr);
    EXPECT_EQ(status, core::Status::invalidArguments());
}

// A deployed drive is the log-page package's test, which sees the parameters never asked for.
TEST(FirmwareParameters, EmptyAndShortAnswersFailWithAStatusAndKeepNothing) {
    struct Case {
        const char* name;
        uint32_t stateBytes;
        uint32_t recordBytes;
        core::Status expected;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"empty state", 0, 172, core::Status::custom(), "Error in getting Current Life Cycle State(Payload blank)"},
        {"short state", 3, 172, core::Status::unexpectedDataLength(), ""},
        {"short record", 4, 171, core::Status::unexpectedDataLength(), ""},
    };
    for (const Case& c : cases) {
        auto drive = vendorDrive(std::string("SN-") + c.name, 2, 4, 2, c.stateBytes, c.recordBytes);
        core::Status status;
        debug_logs_test::ConsoleCapture console;
        utils::InitFWParams(status, drive);
        EXPECT_EQ(status, c.expected) << c.name;
        EXPECT_FALSE(status.isSuccess()) << c.name;
        EXPECT_TRUE(c.message.empty() || status.message() == c.message) << c.name << ": " << status.message();
        EXPECT_EQ(utils::totalFTLs(*drive), 0u) << c.name;
    }
}

}  // namespace
