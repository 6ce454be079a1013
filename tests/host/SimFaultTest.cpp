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

TEST_F(SimFaults, StatusFaultFailsOnlyTheMatchingPageWithItsStatus) {
    auto drive = this->drive(nvmeProfile(
        R"([{"protocol": "NVME", "opcode": 2, "logId": "0x02", "statusCodeType": 1, "statusCode": "0x09"}])"));
    ASSERT_TRUE(drive);
    auto health = logPage(0x02, 512);
    const auto failed = send(*drive, health);
    EXPECT_EQ(failed.status, core::Status::nvmeCommandProblem());
    EXPECT_EQ(nvmeStatus(failed), "1/9");
    EXPECT_EQ(failed.data.size(), 0u);
    auto slots = logPage(0x03, 512);
    EXPECT_TRUE(send(*drive, slots).status.isSuccess());
}

TEST_F(SimFaults, OnlyTheFirstKMatchingCommandsFail) {
    auto drive = this->drive(nvmeProfile(R"([{"cns": 1, "times": 2}])"));
    ASSERT_TRUE(drive);
    auto controller = identify(0x01);
    auto namespaces = identify(0x02);
    EXPECT_TRUE(send(*drive, namespaces).status.isSuccess());  // not counted: another CNS
    EXPECT_FALSE(send(*drive, controller).status.isSuccess());
    EXPECT_FALSE(send(*drive, controller).status.isSuccess());
    EXPECT_TRUE(send(*drive, controller).status.isSuccess());
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

TEST_F(SimFaults, SizeLimitRejectsOnlyLargerTransfers) {
    auto drive = this->drive(nvmeProfile(R"([{"logId": 7, "action": "sizeLimit", "bytes": 8192}])"));
    ASSERT_TRUE(drive);
    auto small = logPage(0x07, 8192);
    auto large = logPage(0x07, 16384);
    EXPECT_TRUE(send(*drive, small).status.isSuccess());
    const auto rejected = send(*drive, large);
    EXPECT_FALSE(rejected.status.isSuccess());
    EXPECT_EQ(nvmeStatus(rejected), "0/2");
    EXPECT_TRUE(send(*drive, small).status.isSuccess());
}

TEST_F(SimFaults, OffsetMatchFailsOneChunkOfAPage) {
    auto drive = this->drive(nvmeProfile(R"([{"logId": 7, "offset": 8192}])"));
    ASSERT_TRUE(drive);
    auto first = logPage(0x07, 8192, 0);
    auto second = logPage(0x07, 8192, 8192);
    auto third = logPage(0x07, 8192, 16384);
    EXPECT_TRUE(send(*drive, first).status.isSuccess());
    EXPECT_FALSE(send(*drive, second).status.isSuccess());
    EXPECT_TRUE(send(*drive, third).status.isSuccess());
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
