// Faults injected into the simulated drive from its profile.
#include "drivekit/commands/ata/SMARTReadData.h"
#include "drivekit/commands/ata/SMARTReadThresholds.h"
#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;

// A small NVMe drive whose faults are the given JSON list.
std::string nvmeProfile(const std::string& faults) {
    return R"({"attributes": {"SerialNumber": "F1", "Kestrova": true, "TelemetryLogSupported": true,
                              "MaximumDataTransferSize": 3},
               "protocols": ["NVME"],
               "nvme": {"namespaces": [{"id": 1, "sizeBlocks": 1000}],
                        "telemetry": {"hostInitiated": [16, 32, 64, 0], "controllerInitiated": [0, 0, 0, 0]}},
               "faults": )" + faults + "}";
}

class SimFaults : public SimFolder {};

template <typename Command>
std::shared_ptr<core::Command> shared(Command command) {
    return std::make_shared<Command>(std::move(command));
}

TEST_F(SimFaults, AFaultFailsOnlyTheCommandsItMatchesWithItsStatus) {
    struct Step {
        std::shared_ptr<core::Command> command;
        std::string status;  // "type/code" of the completion
    };
    const std::vector<std::pair<std::string, std::vector<Step>>> cases{
        {R"([{"protocol": "NVME", "opcode": 2, "logId": "0x02", "statusCodeType": 1, "statusCode": "0x09"}])",
         {{shared(logPage(0x02, 512)), "1/9"}, {shared(logPage(0x03, 512)), "0/0"}}},
        // Only the first K matching commands fail; another CNS does not count.
        {R"([{"cns": 1, "times": 2}])",
         {{shared(identify(0x02)), "0/0"}, {shared(identify(0x01)), "0/2"}, {shared(identify(0x01)), "0/2"},
          {shared(identify(0x01)), "0/0"}}},
        {R"([{"logId": 7, "action": "sizeLimit", "bytes": 8192}])",
         {{shared(logPage(0x07, 8192)), "0/0"}, {shared(logPage(0x07, 16384)), "0/2"},
          {shared(logPage(0x07, 8192)), "0/0"}}},
        {R"([{"logId": 7, "offset": 8192}])",
         {{shared(logPage(0x07, 8192, 0)), "0/0"}, {shared(logPage(0x07, 8192, 8192)), "0/2"},
          {shared(logPage(0x07, 8192, 16384)), "0/0"}}},
    };
    for (const auto& [faults, steps] : cases) {
        SCOPED_TRACE(faults);
        auto drive = this->drive(nvmeProfile(faults));
        ASSERT_TRUE(drive);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const auto result = send(*drive, *steps[i].command);
            EXPECT_EQ(nvmeStatus(result), steps[i].status) << "command " << i;
            EXPECT_EQ(result.status.isSuccess(), steps[i].status == "0/0") << "command " << i;
            if (!result.status.isSuccess()) {
                EXPECT_EQ(result.status, core::Status::nvmeCommandProblem());
                EXPECT_EQ(result.data.size(), 0u);
            }
        }
    }
}

TEST_F(SimFaults, ShortDataKeepsTheFirstBytesAndNoDataKeepsNone) {
    auto drive = this->drive(nvmeProfile(
        R"([{"logId": 2, "action": "shortData", "bytes": 100}, {"logId": 3, "action": "noData"}])"));
    ASSERT_TRUE(drive);
    auto health = logPage(0x02, 512);
    const auto shortened = send(*drive, health);
    ASSERT_TRUE(shortened.status.isSuccess());
    ASSERT_EQ(shortened.data.size(), 100u);
    EXPECT_EQ(*shortened.data.at(3), 100);  // available spare, from the start of the page

    auto slots = logPage(0x03, 512);
    const auto empty = send(*drive, slots);
    EXPECT_TRUE(empty.status.isSuccess());
    EXPECT_EQ(empty.data.size(), 0u);
}

TEST_F(SimFaults, AtaFaultAbortsTheMatchingSmartCommand) {
    auto drive = this->drive(R"({"attributes": {"SerialNumber": "S1", "SMARTEnabled": true},
                                 "protocols": ["ATA"],
                                 "ata": {"capacityBlocks": 1000, "smartAttributes": [{"id": 9, "raw": 5}]},
                                 "faults": [{"protocol": "ATA", "featureId": "0xd1"}]})");
    ASSERT_TRUE(drive);
    drivekit::commands::ata::SMARTReadData data;
    drivekit::commands::ata::SMARTReadThresholds thresholds;
    EXPECT_TRUE(drive->sendCommand(data).status.isSuccess());
    const auto aborted = drive->sendCommand(thresholds);
    EXPECT_FALSE(aborted.status.isSuccess());
    EXPECT_EQ(aborted.data.size(), 0u);
}

}  // namespace
