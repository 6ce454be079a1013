// The ATA command classes and their SMART-path forms: dump, LBA placement, XML and clone.
#include <gtest/gtest.h>

#include "drivekit/commands/ata/ReadDMA.h"
#include "drivekit/commands/ata/SMARTReadData.h"
#include "drivekit/commands/ata/SMARTReadThresholds.h"
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

TEST(AtaCommandRegisters, ReadDmaPlacesA28BitLba) {
    ata::ReadDMA command;
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
    EXPECT_EQ(object->attribute("type"), "SMART");
    ASSERT_EQ(object->properties().size(), 3u);
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
