#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "drivekit/commands/nvme/Command.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FirmwareParameters.h"
#include "plugins/shared/vsc/VscDevice.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"

namespace {

namespace core = drivekit::core;
namespace utils = plugin::cli::debug_logs::utils;

// A drive of the maker: it records every vendor exchange and answers a receive with the
// life-cycle state or the firmware parameter record, cut to the sizes a test chooses.
class VendorDrive : public test_support::StubDrive {
public:
    using Exchange = std::tuple<uint8_t, uint32_t, uint32_t>;  // opcode, CDW12, CDW13
    VendorDrive(const std::string& serial, uint32_t state, uint32_t ftlCores, uint32_t instances)
        : state_(4), record_(172) {
        withSerialNumber(serial);
        std::memcpy(state_.data(), &state, 4);
        std::memcpy(record_.data() + 16, &ftlCores, 4);
        std::memcpy(record_.data() + 168, &instances, 4);
    }
    core::CommandResult sendCommand(core::Command& command, const core::Payload&) override {
        return sendCommand(command);
    }
    core::CommandResult sendCommand(core::Command& command) override {
        const auto& entry = dynamic_cast<drivekit::commands::nvme::Command&>(command).entry();
        const uint32_t cdw12 = entry.cdw12, cdw13 = entry.cdw13;  // packed fields, copied out
        trace.emplace_back(entry.opcode(), cdw12, cdw13);
        core::CommandResult result;
        if (entry.opcode() == 0xF2) {
            const auto& bytes = cdw12 == 0x830F1004 ? state_ : record_;
            const size_t size = std::min(bytes.size(), cdw12 == 0x830F1004 ? stateBytes : recordBytes);
            result.data = core::Payload(bytes.data(), static_cast<uint32_t>(size));
        }
        return result;
    }
    std::vector<Exchange> trace;
    size_t stateBytes = 4;
    size_t recordBytes = 172;

private:
    std::vector<uint8_t> state_;
    std::vector<uint8_t> record_;
};

std::shared_ptr<VendorDrive> vendorDrive(const std::string& serial, uint32_t state = 2, uint32_t cores = 4,
                                         uint32_t instances = 2) {
    return std::make_shared<VendorDrive>(serial, state, cores, instances);
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
    EXPECT_EQ(first->trace, (std::vector<VendorDrive::Exchange>{{0xF1, 0x830F1004, state}, {0xF2, 0x830F1004, state},
                                                                {0xF1, 0x83010003, record}, {0xF2, 0x83010003, record}}));
    EXPECT_EQ(utils::totalFTLs(*first), 8u);

    // The same drive is not asked again; a second drive gets its own count.
    utils::InitFWParams(status, first);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(first->trace.size(), 4u);
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
        size_t stateBytes;
        size_t recordBytes;
        core::Status expected;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"empty state", 0, 172, core::Status::custom(), "Error in getting Current Life Cycle State(Payload blank)"},
        {"short state", 3, 172, core::Status::unexpectedDataLength(), ""},
        {"short record", 4, 171, core::Status::unexpectedDataLength(), ""},
    };
    for (const Case& c : cases) {
        auto drive = vendorDrive(std::string("SN-") + c.name);
        drive->stateBytes = c.stateBytes;
        drive->recordBytes = c.recordBytes;
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
