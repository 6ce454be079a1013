// The simulated drive answering NVMe admin commands as a controller does.
#include "drivekit/commands/nvme/GetFeatures.h"
#include "drivekit/commands/nvme/SetFeatures.h"
#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;

constexpr uint8_t smartHealthLog = 0x02;
constexpr uint8_t hostTelemetryLog = 0x07;

// Slices read at an offset are checked end to end, where the telemetry logs read in pieces
// match the log read whole; pages a drive does not have, with the supported-pages list; the
// namespace lists and the allocated namespace, in the Identify package. Here, what a
// controller rejects.
TEST(SimNvme, WhatAControllerRejectsFails) {
    auto drive = builtIn("varnholt-nvme");
    // MDTS 5: 128 KiB.
    EXPECT_TRUE(send(*drive, logPage(hostTelemetryLog, 128 * 1024)).status.isSuccess());
    const std::vector<std::pair<std::shared_ptr<core::Command>, std::string>> rejected{
        {std::make_shared<nvme::GetLogPage>(logPage(smartHealthLog, 512, 512)), "0/2"},  // past the end,
        {std::make_shared<nvme::GetLogPage>(logPage(smartHealthLog, 64, 2)), "0/2"},     // misaligned,
        {std::make_shared<nvme::GetLogPage>(logPage(hostTelemetryLog, 128 * 1024 + 4)), "0/2"},  // too long
        {std::make_shared<nvme::Identify>(identify(0x00, 99)), "0/11"},  // Invalid Namespace or Format
        {std::make_shared<nvme::Identify>(identify(0x1F)), "0/2"},
    };
    for (const auto& [command, status] : rejected) {
        const auto result = send(*drive, *command);
        EXPECT_EQ(result.status, core::Status::nvmeCommandProblem()) << status;
        EXPECT_EQ(nvmeStatus(result), status);
        EXPECT_EQ(result.data.size(), 0u);
    }
    // A drive without NVMe refuses the command set.
    const auto refused = send(*builtIn("kestrova-sata"), identify(0x1F));
    EXPECT_EQ(refused.status, core::Status::commandSetNotSupported());
    EXPECT_EQ(refused.data.size(), 0u);
}

TEST(SimFeatures, ValuesPersistPerDriveWithSelectAndSave) {
    auto drive = builtIn("varnholt-nvme");
    nvme::SetFeatures set;
    set.setFeatureId(0x06);
    set.setDword11(0);
    ASSERT_TRUE(send(*drive, set).status.isSuccess());

    nvme::GetFeatures get;
    get.setFeatureId(0x06);
    EXPECT_EQ(completion(send(*drive, get)).dw0, 0u);
    get.setSelect(1);  // default
    EXPECT_EQ(completion(send(*drive, get)).dw0, 1u);
    get.setSelect(2);  // saved: not changed without Save
    EXPECT_EQ(completion(send(*drive, get)).dw0, 1u);

    auto fresh = builtIn("varnholt-nvme");
    get.setSelect(0);
    EXPECT_EQ(completion(send(*fresh, get)).dw0, 1u);

    nvme::SetFeatures queues;
    queues.setFeatureId(0x07);
    queues.setSave(true);
    EXPECT_EQ(nvmeStatus(send(*drive, queues)), "1/13");  // Feature Identifier Not Saveable
    nvme::GetFeatures unknown;
    unknown.setFeatureId(0x7E);
    EXPECT_EQ(nvmeStatus(send(*drive, unknown)), "0/2");
}

// Sends a descriptor and its matching receive, as the vendor channel does.
core::CommandResult vendorRead(host::sim::SimulatedDrive& drive, uint32_t code, uint32_t dwords, uint16_t sequence,
                               uint16_t receiveSequence) {
    nvme::AdminCommand descriptor(0xF1, nvme::DataDirection::toDrive, 1);
    descriptor.entry().cdw12 = code;
    descriptor.entry().cdw13 = sequence;
    auto sent = drive.sendCommand(descriptor, core::Payload());
    if (!sent.status.isSuccess()) {
        return sent;
    }
    nvme::AdminCommand receive(0xF2, nvme::DataDirection::fromDrive, dwords * 4);
    receive.entry().cdw10 = dwords;
    receive.entry().cdw12 = code;
    receive.entry().cdw13 = receiveSequence;
    receive.entry().cdw14 = 1;
    return drive.sendCommand(receive);
}

TEST(SimVendorChannel, OnlyAReceiveWithTheMatchingSequenceOnTheMakersDriveReads) {
    auto drive = builtIn("varnholt-nvme");
    // What the state and parameter reads return is read end to end by the log-page package.
    ASSERT_TRUE(vendorRead(*drive, 0x830F1004, 1, 1, 1).status.isSuccess());
    EXPECT_EQ(nvmeStatus(vendorRead(*drive, 0x830F1004, 1, 3, 4)), "0/12");  // Command Sequence Error
    EXPECT_FALSE(vendorRead(*drive, 0x83FFFFFF, 1, 5, 5).status.isSuccess());
    // Drives of another maker reject the opcodes.
    const auto other = vendorRead(*builtIn("other-nvme"), 0x830F1004, 1, 1, 1);
    EXPECT_EQ(other.status, core::Status::nvmeCommandProblem());
    EXPECT_EQ(nvmeStatus(other), "0/1");  // Invalid Command Opcode
    nvme::AdminCommand unknown(0x7C, nvme::DataDirection::none);
    EXPECT_EQ(nvmeStatus(drive->sendCommand(unknown)), "0/1");
}

}  // namespace
