// The ATA command classes and their SMART-path forms: dump, LBA placement, XML and clone.
#include <gtest/gtest.h>

#include "drivekit/commands/ata/ReadDMA.h"
#include "drivekit/commands/ata/SMARTReadData.h"
#include "drivekit/commands/ata/SMARTReadThresholds.h"
#include "drivekit/commands/smart/SMARTReadData.h"
#include "drivekit/commands/smart/SMARTReadThresholds.h"

using namespace drivekit::commands;

// The previous task file is shown only for an extended command, between the current one and
// the flags.
TEST(AtaCommandText, DumpShowsTheTaskFilesAndFlags) {
    ata::SMARTReadData command;
    command.previous().sectorCount = 0x12;
    std::string text = command.toString();
    for (const char* line : {"SMARTReadData\nCurrent Task File:\n  Feature / Error  : 0xD0 (208)\n",
                             "  LBA Mid          : 0x4F (79)\n  LBA High         : 0xC2 (194)\n",
                             "  Command / Status : 0xB0 (176)\n", "  Data In   (From Drive)    : True\n",
                             "  Extended                  : False\n", "  Clear Prior Sticky Abort  : True\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(text.find("Previous Task File:"), std::string::npos);

    command.flags().extended = true;
    text = command.toString();
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

TEST(AtaCommandClone, KeepsProtocolNameAndFieldsAndXmlHoldsTheTaskFilesAsBytes) {
    smart::SMARTReadThresholds original;
    original.flags().extended = true;
    original.previous().lbaLow = 0x99;
    original.reserved = 0x1234;
    const auto object = original.toXmlObject();
    EXPECT_EQ(object->attribute("type"), "SMART");
    EXPECT_EQ(object->propertyValue("currentTaskFile"), "D100004FC240B000");
    EXPECT_EQ(object->propertyValue("previousTaskFile"), "0000990000000000");

    const auto copy = original.clone();
    auto* plain = dynamic_cast<ata::Command*>(copy.get());
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(dynamic_cast<ata::SMARTReadThresholds*>(copy.get()), nullptr);
    EXPECT_EQ(plain->protocol(), "SMART");
    EXPECT_EQ(plain->name(), "SMARTReadThresholds");
    EXPECT_EQ(plain->reserved, 0x1234u);
    EXPECT_EQ(plain->toString(), original.toString());
    EXPECT_EQ(plain->toXmlObject()->serialize(), object->serialize());
    EXPECT_EQ(ata::SMARTReadData().clone()->protocol(), "ATA");
}
