// The ATA command classes and their SMART-path forms: registers, dump, XML and clone.
#include <gtest/gtest.h>

#include "drivekit/commands/ata/CheckPowerMode.h"
#include "drivekit/commands/ata/IdentifyDevice.h"
#include "drivekit/commands/ata/ReadDMA.h"
#include "drivekit/commands/ata/SMARTExecuteOfflineImmediate.h"
#include "drivekit/commands/ata/SMARTReadData.h"
#include "drivekit/commands/ata/SMARTReadThresholds.h"
#include "drivekit/commands/ata/StandbyImmediate.h"
#include "drivekit/commands/smart/SMARTReadData.h"
#include "drivekit/commands/smart/SMARTReadThresholds.h"

using namespace drivekit::commands;

namespace {

const std::string freshSmartReadData =
    "SMARTReadData\n"
    "Current Task File:\n"
    "  Feature / Error  : 0xD0 (208)\n"
    "  Sector Count     : 0x00 (0)\n"
    "  LBA Low          : 0x00 (0)\n"
    "  LBA Mid          : 0x4F (79)\n"
    "  LBA High         : 0xC2 (194)\n"
    "  Device           : 0x40 (64)\n"
    "  Command / Status : 0xB0 (176)\n"
    "  Unused           : 0x00 (0)\n"
    "Flags:\n"
    "  Data In   (From Drive)    : True\n"
    "  Data Out    (To Drive)    : False\n"
    "  Data None                 : False\n"
    "  Device Diagnostic         : False\n"
    "  DMA                       : False\n"
    "  Extended                  : False\n"
    "  Ignore Driver Limitations : False\n"
    "  Clear Prior Sticky Abort  : True\n";

}  // namespace

TEST(AtaCommandText, FreshSmartReadDataDump) {
    EXPECT_EQ(ata::SMARTReadData().toString(), freshSmartReadData);
}

TEST(AtaCommandText, ExtendedAddsThePreviousTaskFile) {
    ata::SMARTReadData command;
    command.previous().sectorCount = 0x12;
    EXPECT_EQ(command.toString().find("Previous Task File:"), std::string::npos);

    command.flags().extended = true;
    const std::string text = command.toString();
    const auto previous = text.find("Previous Task File:\n");
    ASSERT_NE(previous, std::string::npos);
    EXPECT_LT(text.find("Current Task File:\n"), previous);
    EXPECT_LT(previous, text.find("Flags:\n"));
    EXPECT_NE(text.find("  Sector Count     : 0x12 (18)\n", previous), std::string::npos);
    EXPECT_NE(text.find("  Extended                  : True\n"), std::string::npos);
}

TEST(AtaCommandRegisters, EachCommandCarriesItsOpcodeAndTransfer) {
    ata::SMARTReadThresholds thresholds;
    EXPECT_EQ(thresholds.current().feature, 0xD1);
    EXPECT_EQ(thresholds.current().command, 0xB0);
    EXPECT_EQ(thresholds.transferBlocks, 1u);

    ata::SMARTExecuteOfflineImmediate offline(0x40);
    EXPECT_EQ(offline.name(), "SMARTExecuteOfflineImmediate");
    EXPECT_EQ(offline.current().feature, 0xD4);
    EXPECT_EQ(offline.current().lbaLow, 0x40);
    EXPECT_EQ(offline.current().lbaMid, 0x4F);
    EXPECT_EQ(offline.current().lbaHigh, 0xC2);
    EXPECT_TRUE(offline.flags().dataNone);
    EXPECT_FALSE(offline.flags().dataIn);
    EXPECT_EQ(offline.transferBlocks, 0u);

    ata::IdentifyDevice identify;
    EXPECT_EQ(identify.current().command, 0xEC);
    EXPECT_EQ(identify.current().sectorCount, 1);
    EXPECT_EQ(identify.transferBlocks, 1u);

    EXPECT_EQ(ata::CheckPowerMode().current().command, 0xE5);
    EXPECT_EQ(ata::StandbyImmediate().current().command, 0xE0);
}

TEST(AtaCommandRegisters, ReadDmaPlacesA28BitLba) {
    ata::ReadDMA command;
    EXPECT_EQ(command.name(), "ReadDMA");
    EXPECT_EQ(command.current().command, 0xC8);
    EXPECT_EQ(command.current().device, 0x40);
    EXPECT_TRUE(command.flags().dma);
    EXPECT_TRUE(command.flags().dataIn);

    command.setLba(0x0ABCDEF1);
    EXPECT_EQ(command.current().lbaLow, 0xF1);
    EXPECT_EQ(command.current().lbaMid, 0xDE);
    EXPECT_EQ(command.current().lbaHigh, 0xBC);
    EXPECT_EQ(command.current().device, 0x4A);
    command.setLba(0);
    EXPECT_EQ(command.current().device, 0x40);
}

TEST(AtaCommandXml, TaskFilesAsBytesThenTransferBlocks) {
    smart::SMARTReadData command;
    const auto object = command.toXmlObject();
    EXPECT_EQ(object->attribute("category"), "command");
    EXPECT_EQ(object->attribute("name"), "SMARTReadData");
    EXPECT_EQ(object->attribute("type"), "SMART");
    ASSERT_EQ(object->properties().size(), 3u);
    EXPECT_EQ(object->properties()[0]->attribute("name"), "currentTaskFile");
    EXPECT_EQ(object->properties()[1]->attribute("name"), "previousTaskFile");
    EXPECT_EQ(object->properties()[2]->attribute("name"), "transferBlocks");
    EXPECT_EQ(object->propertyValue("currentTaskFile"), "D000004FC240B000");
    EXPECT_EQ(object->propertyValue("previousTaskFile"), "0000000000000000");
    EXPECT_EQ(object->propertyValue("transferBlocks"), "1");
}

TEST(AtaCommandClone, KeepsProtocolNameAndFields) {
    smart::SMARTReadThresholds original;
    EXPECT_EQ(original.protocol(), "SMART");
    original.flags().extended = true;
    original.previous().lbaLow = 0x99;
    original.reserved = 0x1234;

    const auto copy = original.clone();
    auto* plain = dynamic_cast<ata::Command*>(copy.get());
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(dynamic_cast<ata::SMARTReadThresholds*>(copy.get()), nullptr);
    EXPECT_EQ(plain->protocol(), "SMART");
    EXPECT_EQ(plain->name(), "SMARTReadThresholds");
    EXPECT_EQ(plain->reserved, 0x1234u);
    EXPECT_EQ(plain->toString(), original.toString());
    EXPECT_EQ(plain->toXmlObject()->serialize(), original.toXmlObject()->serialize());

    EXPECT_EQ(ata::SMARTReadData().clone()->protocol(), "ATA");
    EXPECT_EQ(smart::SMARTReadData().clone()->toString(), freshSmartReadData);
}
