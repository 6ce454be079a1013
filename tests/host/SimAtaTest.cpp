// The SATA drive's ATA commands: identify and SMART sectors with valid checksums, power modes.
#include "drivekit/commands/ata/CheckPowerMode.h"
#include "drivekit/commands/ata/IdentifyDevice.h"
#include "drivekit/commands/ata/ReadDMA.h"
#include "drivekit/commands/ata/SMARTExecuteOfflineImmediate.h"
#include "drivekit/commands/ata/SMARTReadData.h"
#include "drivekit/commands/ata/SMARTReadThresholds.h"
#include "drivekit/commands/ata/StandbyImmediate.h"
#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;
namespace ata = drivekit::commands::ata;

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
