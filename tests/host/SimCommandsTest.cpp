// The simulated drives answering commands as a controller or a disk does. NVMe: which log pages
// each drive serves and the lengths their headers give, what it rejects, features and the vendor
// channel. ATA: identify and SMART sectors with valid checksums, power modes, what fails.
#include "drivekit/commands/ata/CheckPowerMode.h"
#include "drivekit/commands/ata/IdentifyDevice.h"
#include "drivekit/commands/ata/ReadDMA.h"
#include "drivekit/commands/ata/SMARTExecuteOfflineImmediate.h"
#include "drivekit/commands/ata/SMARTReadData.h"
#include "drivekit/commands/ata/SMARTReadThresholds.h"
#include "drivekit/commands/ata/StandbyImmediate.h"
#include "drivekit/commands/nvme/GetFeatures.h"
#include "drivekit/commands/nvme/SetFeatures.h"
#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;
namespace ata = drivekit::commands::ata;

constexpr uint8_t smartHealthLog = 0x02;
constexpr uint8_t hostTelemetryLog = 0x07;
constexpr uint16_t enduranceGroup = 1;  // of both maker's profiles

TEST(SimLogPages, SupportedLogPagesListsExactlyThePagesTheDriveAnswers) {
    for (const char* profile : {"varnholt-nvme", "kestrova-nvme", "other-nvme"}) {
        auto drive = builtIn(profile);
        const auto supported = send(*drive, logPage(0x00, 1024));
        ASSERT_TRUE(supported.status.isSuccess()) << profile;
        for (uint32_t logId = 0; logId < 256; ++logId) {
            const bool listed = (u32At(supported.data, 4 * logId) & 1u) != 0;
            const auto probe = send(*drive, logPage(static_cast<uint8_t>(logId), 4, 0, 0, enduranceGroup));
            EXPECT_EQ(nvmeStatus(probe), listed ? "0/0" : "1/9") << profile << " LID " << logId;
        }
    }
}

// The length a page's header gives is the page's length: its last dword can be read and the
// dword after it is past the end.
TEST(SimLogPages, VariableLengthHeadersCoverExactlyThePage) {
    auto drive = builtIn("varnholt-nvme");
    const std::vector<std::pair<uint8_t, uint64_t (*)(const core::Payload& first)>> cases{
        {0x0D, [](const core::Payload& p) { return valueAt<uint64_t>(p, 8); }},
        {0x0E, [](const core::Payload& p) { return uint64_t{u32At(p, 0)}; }},
        {0x0F, [](const core::Payload& p) { return 8 + 2 * valueAt<uint64_t>(p, 0); }},
        {0x19, [](const core::Payload& p) { return uint64_t{u32At(p, 4)}; }},
        {0xF5, [](const core::Payload& p) { return uint64_t{u16At(p, 0)}; }},
    };
    for (const auto& [logId, length] : cases) {
        const auto first = send(*drive, logPage(logId, 4096));
        ASSERT_TRUE(first.status.isSuccess()) << int(logId);
        const uint64_t lastDword = (length(first.data) - 1) / 4 * 4;
        EXPECT_TRUE(send(*drive, logPage(logId, 4, lastDword)).status.isSuccess()) << int(logId);
        EXPECT_EQ(nvmeStatus(send(*drive, logPage(logId, 4, lastDword + 4))), "0/2") << int(logId);
    }
}

// What a controller rejects. (Reads at an offset, missing pages and namespace lists are checked
// end to end.)
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


uint8_t sectorSum(const core::Payload& sector) {
    uint8_t sum = 0;
    for (uint32_t i = 0; i < sector.size(); ++i) {
        sum = static_cast<uint8_t>(sum + *sector.at(i));
    }
    return sum;
}

TEST(SimAtaSectors, SmartAndIdentifySectorsComeFromTheProfileWithValidChecksums) {
    auto drive = builtIn("kestrova-sata");
    ata::SMARTReadData readData;
    ata::SMARTReadThresholds readThresholds;
    ata::IdentifyDevice identifyDevice;
    const auto data = drive->sendCommand(readData);
    const auto thresholds = drive->sendCommand(readThresholds);
    const auto identified = drive->sendCommand(identifyDevice);
    for (const auto* sector : {&data, &thresholds, &identified}) {
        ASSERT_TRUE(sector->status.isSuccess());
        ASSERT_EQ(sector->data.size(), 512u);
        EXPECT_EQ(sectorSum(sector->data), 0);
    }
    // "KS3S09921", two characters a word.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(identified.data.at(20)), 10), "SKS39029 1");
    EXPECT_EQ(*identified.data.at(510), 0xA5);

    // Off-line data collection updates the data sector and keeps it valid.
    EXPECT_EQ(*data.data.at(362), 0x00);
    ata::SMARTExecuteOfflineImmediate offline(0x40);
    ASSERT_TRUE(drive->sendCommand(offline).status.isSuccess());
    const auto after = drive->sendCommand(readData);
    EXPECT_EQ(*after.data.at(362), 0x02);
    EXPECT_EQ(sectorSum(after.data), 0);
}

TEST(SimAtaPower, StandbyAndReadChangeThePowerModeCheckPowerModeReports) {
    auto drive = builtIn("kestrova-sata");
    const auto mode = [&]() {
        ata::CheckPowerMode check;
        const auto result = drive->sendCommand(check);
        EXPECT_TRUE(result.status.isSuccess());
        return result.protocolResult->data().safeCast<ata::TaskFile>()->sectorCount;
    };
    EXPECT_EQ(mode(), 0xFF);
    ata::StandbyImmediate standby;
    ASSERT_TRUE(drive->sendCommand(standby).status.isSuccess());
    EXPECT_EQ(mode(), 0x00);
    ata::ReadDMA read;
    const auto sector = drive->sendCommand(read);
    ASSERT_TRUE(sector.status.isSuccess());
    EXPECT_EQ(sector.data.size(), 512u);
    EXPECT_EQ(mode(), 0xFF);
}

class SimAtaErrors : public SimFolder {};

// Reads past the capacity, every SMART command while SMART is disabled, and the ATA commands
// sent to an NVMe drive fail; identify still answers.
TEST_F(SimAtaErrors, OutOfRangeReadsDisabledSmartAndMissingPathsFail) {
    auto drive = this->drive(R"({"attributes": {"SerialNumber": "A1", "SMARTEnabled": false},
                                 "protocols": ["ATA"], "ata": {"capacityBlocks": 1000}})");
    ASSERT_TRUE(drive);
    ata::ReadDMA read;
    read.setLba(999);
    EXPECT_TRUE(drive->sendCommand(read).status.isSuccess());
    read.setLba(1000);
    const auto beyond = drive->sendCommand(read);
    EXPECT_FALSE(beyond.status.isSuccess());
    EXPECT_EQ(beyond.protocolResult->data().safeCast<ata::TaskFile>()->command & 0x01, 0x01);  // ERR

    ata::SMARTReadData readData;
    ata::SMARTReadThresholds readThresholds;
    ata::SMARTExecuteOfflineImmediate offline(0x40);
    for (core::Command* command : {static_cast<core::Command*>(&readData),
                                   static_cast<core::Command*>(&readThresholds),
                                   static_cast<core::Command*>(&offline)}) {
        const auto result = drive->sendCommand(*command);
        EXPECT_FALSE(result.status.isSuccess()) << command->name();
        EXPECT_EQ(result.data.size(), 0u) << command->name();
    }
    ata::IdentifyDevice identifyDevice;
    const auto identified = drive->sendCommand(identifyDevice);
    ASSERT_TRUE(identified.status.isSuccess());
    EXPECT_EQ(*identified.data.at(170) & 0x01, 0x00);  // word 85: SMART not enabled
    EXPECT_EQ(builtIn("varnholt-nvme")->sendCommand(readData).status, core::Status::commandSetNotSupported());
}

}  // namespace
