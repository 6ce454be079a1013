// The NVMe command classes: dword placement, attribute filling, dump, XML and clone.
#include <gtest/gtest.h>

#include "drivekit/commands/nvme/AdminCommand.h"
#include "drivekit/commands/nvme/GetFeatures.h"
#include "drivekit/commands/nvme/GetLogPage.h"
#include "drivekit/commands/nvme/Identify.h"
#include "drivekit/commands/nvme/SetFeatures.h"
#include "drivekit/core/xml/XmlProperty.h"

using namespace drivekit::commands::nvme;
using drivekit::core::Attribute;
using drivekit::core::AttributeCollection;
namespace types = drivekit::core::types;

namespace {

// An attribute of the given type holding the value, stored as the attribute's own text form.
Attribute typed(const std::string& key, const std::string& type, uint64_t value) {
    Attribute attribute(key, key, type);
    EXPECT_TRUE(attribute.fromString(type == types::boolean ? (value ? "true" : "false") : std::to_string(value))
                    .isSuccess())
        << key;
    return attribute;
}

}  // namespace

// The submission entry is packed: its dwords are compared as copies (uint32_t{...}), never bound
// to the references that EXPECT_EQ takes.

TEST(GetLogPageDwords, NumDwordsSplitsIntoLowAndHighHalvesAndSizesTheTransfer) {
    GetLogPage command;
    command.setNumDwords(0x3FF);
    EXPECT_EQ(command.entry().cdw10 >> 16, 0x03FFu);
    EXPECT_EQ(command.entry().cdw11 & 0xFFFF, 0u);
    EXPECT_EQ(command.transferBytes, 4096u);

    command.setNumDwords(74565);  // 0x00012345
    EXPECT_EQ(command.entry().cdw10 >> 16, 0x2345u);
    EXPECT_EQ(command.entry().cdw11 & 0xFFFF, 0x0001u);
    EXPECT_EQ(command.transferBytes, (74565u + 1) * 4);

    // The largest count must not wrap the byte count around 32 bits.
    command.setNumDwords(0xFFFFFFFF);
    EXPECT_EQ(command.transferBytes, 0x400000000ull);
}

TEST(GetLogPageDwords, FieldsSharingADwordKeepEachOther) {
    GetLogPage command;
    command.setLogId(0x07);
    command.setNumDwords(0x0001FFFF);
    command.setLogSpecificId(0xBEEF);
    command.setRetainAsynchronousEvent(true);
    command.setLogSpecificField(0x05);  // an LSP write must not clear RAE
    EXPECT_EQ(uint32_t{command.entry().cdw10}, 0xFFFF8507u);
    EXPECT_EQ(uint32_t{command.entry().cdw11}, 0xBEEF0001u);

    command.setRetainAsynchronousEvent(false);
    EXPECT_EQ(uint32_t{command.entry().cdw10}, 0xFFFF0507u);
    command.setLogSpecificField(0x86);  // only 0x06 fits; bit 7 must not become RAE
    EXPECT_EQ(uint32_t{command.entry().cdw10}, 0xFFFF0607u);
    EXPECT_FALSE(command.retainAsynchronousEvent());
    EXPECT_EQ(command.logSpecificField(), 0x06);
    EXPECT_EQ(command.entry().opcode(), opcodes::getLogPage);
}

TEST(GetLogPageDwords, OffsetAndUuidIndex) {
    GetLogPage command;
    command.setLogPageOffset(0x0000000123456789ull);
    EXPECT_EQ(uint32_t{command.entry().cdw12}, 0x23456789u);
    EXPECT_EQ(uint32_t{command.entry().cdw13}, 0x00000001u);

    command.entry().cdw14 = 0xABCD0000;
    command.setUuidIndex(0x83);
    EXPECT_EQ(uint32_t{command.entry().cdw14}, 0xABCD0003u);
    command.setUuidIndex(0x7F);
    EXPECT_EQ(uint32_t{command.entry().cdw14}, 0xABCD007Fu);
}

TEST(GetLogPageDwords, ApplyAttributesFillsPresentKeysAndKeepsTheRest) {
    AttributeCollection attributes;
    attributes.set(typed("LogId", types::uint8, 0xC0));
    attributes.set(typed("NumDWORDs", types::uint32, 0x7F));
    attributes.set(typed("RetainAsynchronousEvent", types::boolean, 1));
    attributes.set(typed("NamespaceId", types::uint32, 0xFFFFFFFF));
    attributes.set(typed("LogPageOffset", types::uint64, 0x200000000ull));

    GetLogPage command;
    command.setLogSpecificId(0x0042);  // no "LogSpecificId" attribute: must survive
    command.applyAttributes(attributes, 2);
    EXPECT_EQ(command.logId(), 0xC0);
    EXPECT_EQ(command.numDwords(), 0x7Fu);
    EXPECT_EQ(command.transferBytes, 512u);
    EXPECT_TRUE(command.retainAsynchronousEvent());
    EXPECT_EQ(uint32_t{command.entry().nsid}, 0xFFFFFFFFu);
    EXPECT_EQ(command.logPageOffset(), 0x200000000ull);
    EXPECT_EQ(command.logSpecificId(), 0x0042);
    EXPECT_EQ(command.uuidIndex(), 2);
}

TEST(IdentifyDwords, CnsAndCsiLandInTheirBytesOnly) {
    Identify command;
    command.entry().cdw10 = 0x12345600;
    command.entry().cdw11 = 0x0000FFFF;
    command.setCns(0x11);
    command.setCsi(0x02);
    EXPECT_EQ(uint32_t{command.entry().cdw10}, 0x12345611u);
    EXPECT_EQ(uint32_t{command.entry().cdw11}, 0x0200FFFFu);
    EXPECT_EQ(command.transferBytes, 4096u);

    AttributeCollection attributes;
    attributes.set(typed("ControllerNamespaceStructure", types::uint8, 0x02));
    attributes.set(typed("NamespaceId", types::uint32, 1));
    command.applyAttributes(attributes);
    EXPECT_EQ(command.cns(), 0x02);
    EXPECT_EQ(command.csi(), 0x02);  // no "CSI" attribute: kept
    EXPECT_EQ(uint32_t{command.entry().nsid}, 1u);
}

TEST(FeaturesDwords, SelectIsThreeBitsAndSaveIsBit31) {
    GetFeatures get;
    get.setFeatureId(0x02);
    get.setSelect(0x0B);  // only 0x3 fits
    EXPECT_EQ(uint32_t{get.entry().cdw10}, 0x00000302u);
    EXPECT_EQ(get.select(), 3);
    EXPECT_EQ(get.entry().opcode(), opcodes::getFeatures);

    SetFeatures set;
    set.setFeatureId(0x0E);
    set.setSave(true);
    EXPECT_EQ(uint32_t{set.entry().cdw10}, 0x8000000Eu);
    set.setSave(false);
    EXPECT_EQ(uint32_t{set.entry().cdw10}, 0x0000000Eu);
    EXPECT_TRUE(set.flags().dataOut);
    EXPECT_EQ(set.entry().opcode(), opcodes::setFeatures);
}

TEST(FeaturesDwords, ApplyAttributesUsesTheFeatureKeys) {
    AttributeCollection attributes;
    attributes.set(typed("FeatureId", types::uint8, 0xC1));
    attributes.set(typed("Select", types::uint8, 0x01));
    attributes.set(typed("Save", types::boolean, 1));
    attributes.set(typed("DWORD11", types::uint32, 0x11111111));
    attributes.set(typed("DWORD12", types::uint32, 0x22222222));
    attributes.set(typed("DWORD13", types::uint32, 0x33333333));
    attributes.set(typed("TransferBytes", types::uint32, 4096));

    GetFeatures get;
    get.applyAttributes(attributes);
    EXPECT_EQ(uint32_t{get.entry().cdw10}, 0x000001C1u);
    EXPECT_EQ(uint32_t{get.entry().cdw11}, 0x11111111u);
    EXPECT_EQ(get.transferBytes, 4096u);

    SetFeatures set;
    set.entry().cdw14 = 0xFF000000;
    set.applyAttributes(attributes, 0x81);
    EXPECT_EQ(uint32_t{set.entry().cdw10}, 0x800000C1u);
    EXPECT_EQ(uint32_t{set.entry().cdw12}, 0x22222222u);
    EXPECT_EQ(uint32_t{set.entry().cdw13}, 0x33333333u);
    EXPECT_EQ(uint32_t{set.entry().cdw14}, 0xFF000001u);
}

TEST(AdminCommandTest, OpcodeAndDirectionAreSettable) {
    AdminCommand command(opcodes::vendorReceive, DataDirection::fromDrive, 512);
    EXPECT_EQ(command.name(), "AdminCommand");
    EXPECT_EQ(command.entry().opcode(), 0xF2);
    EXPECT_TRUE(command.flags().dataIn);
    EXPECT_FALSE(command.flags().dataNone);
    EXPECT_TRUE(command.flags().admin);
    EXPECT_EQ(command.transferBytes, 512u);
    command.setDirection(DataDirection::toDrive);
    EXPECT_TRUE(command.flags().dataOut);
    EXPECT_FALSE(command.flags().dataIn);
}

TEST(NvmeCommandText, FreshIdentifyDump) {
    const std::string expected =
        "Identify\n"
        "0000: 06 00 00 00 00 00 00 00  ........\n"
        "0008: 00 00 00 00 00 00 00 00  ........\n"
        "0010: 00 00 00 00 00 00 00 00  ........\n"
        "0018: 00 00 00 00 00 00 00 00  ........\n"
        "0020: 00 00 00 00 00 00 00 00  ........\n"
        "0028: 00 00 00 00 00 00 00 00  ........\n"
        "0030: 00 00 00 00 00 00 00 00  ........\n"
        "0038: 00 00 00 00 00 00 00 00  ........\n"
        "\n"
        "Admin Command Set:\n"
        "  DWord 0:           0x00000006 (6)\n"
        "    OPC:             0x00000006 (6)\n"
        "    FUSE:            0x00000000 (0)\n"
        "    Reserved:        0x00000000 (0)\n"
        "    PSDT:            0x00000000 (0)\n"
        "    CID:             0x00000000 (0)\n"
        "  DWord 1 (NSID):    0x00000000 (0)\n"
        "  Reserved:          0x00000000 (0)\n"
        "    DWord 2 (RSVD):  0x00000000 (0)\n"
        "    DWord 3 (RSVD):  0x00000000 (0)\n"
        "  Metadata Pointer:  0x00000000 (0)\n"
        "    DWord 4 (MPTR):  0x00000000 (0)\n"
        "    DWord 5 (MPTR):  0x00000000 (0)\n"
        "  PRP Entry 1:       0x00000000 (0)\n"
        "    DWord 6 (PRP1):  0x00000000 (0)\n"
        "    DWord 7 (PRP1):  0x00000000 (0)\n"
        "  PRP Entry 2:       0x00000000 (0)\n"
        "    DWord 8 (PRP2):  0x00000000 (0)\n"
        "    DWord 9 (PRP2):  0x00000000 (0)\n"
        "  DWord 10 (NDP):    0x00000000 (0)\n"
        "  DWord 11 (NDM):    0x00000000 (0)\n"
        "  DWord 12:          0x00000000 (0)\n"
        "  DWord 13:          0x00000000 (0)\n"
        "  DWord 14:          0x00000000 (0)\n"
        "  DWord 15:          0x00000000 (0)\n"
        "Flags:\n"
        "  Data In   (From Drive)    : True\n"
        "  Data Out    (To Drive)    : False\n"
        "  Data None                 : False\n"
        "  Data Bi   (In and Out)    : False\n"
        "  Admin                     : True\n"
        "  Asynchronous              : False\n";
    EXPECT_EQ(Identify().toString(), expected);
}

TEST(NvmeCommandText, DumpSplitsDwordZeroAndShowsWideValuesAndPrintableBytes) {
    Command command("Raw");
    command.entry().cdw0 = 0xABCDC1F2;  // CID 0xABCD, PSDT 3, reserved 0, FUSE 1, OPC 0xF2
    command.entry().cdw2 = 0x44434241;  // "ABCD"
    command.entry().prp1 = 0x1122334455667788ull;
    const std::string text = command.toString();
    EXPECT_NE(text.find("NVM Command Set:\n"), std::string::npos);
    EXPECT_NE(text.find("0008: 41 42 43 44 00 00 00 00  ABCD....\n"), std::string::npos);
    EXPECT_NE(text.find("    OPC:             0x000000F2 (242)\n"), std::string::npos);
    EXPECT_NE(text.find("    FUSE:            0x00000001 (1)\n"), std::string::npos);
    EXPECT_NE(text.find("    PSDT:            0x00000003 (3)\n"), std::string::npos);
    EXPECT_NE(text.find("    CID:             0x0000ABCD (43981)\n"), std::string::npos);
    EXPECT_NE(text.find("  PRP Entry 1:       0x1122334455667788 (1234605616436508552)\n"),
              std::string::npos);
    EXPECT_NE(text.find("    DWord 7 (PRP1):  0x11223344 (287454020)\n"), std::string::npos);
}

TEST(NvmeCommandXml, PropertiesInOrderWithTheEntryAsBytes) {
    GetLogPage command;
    command.setLogId(0x02);
    command.setNumDwords(0x7F);
    const auto object = command.toXmlObject();
    EXPECT_EQ(object->attribute("category"), "command");
    EXPECT_EQ(object->attribute("name"), "GetLogPage");
    EXPECT_EQ(object->attribute("type"), "NVME");
    ASSERT_EQ(object->properties().size(), 4u);
    const char* names[] = {"nvmeCmd", "transferBlocks", "transferBytes", "submissionQueueId"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(object->properties()[i]->attribute("name"), names[i]);
    }
    const std::string entry = object->propertyValue("nvmeCmd");
    ASSERT_EQ(entry.size(), 128u);
    EXPECT_EQ(entry.substr(0, 8), "02000000");
    EXPECT_EQ(entry.substr(80, 8), "02007F00");  // dword 10, little-endian
    EXPECT_EQ(object->propertyValue("transferBytes"), "512");
}

TEST(NvmeCommandClone, IsAPlainCommandThatRendersTheSame) {
    GetLogPage original;
    original.setLogId(0xCA);
    original.setNumDwords(0x3FF);
    original.setNamespaceId(0xFFFFFFFF);
    original.transferBlocks = 3;
    original.submissionQueueId = 1;
    original.queueing().first = 77;
    original.queueing().sixth = 1.5;

    const auto copy = original.clone();
    auto* plain = dynamic_cast<Command*>(copy.get());
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(dynamic_cast<GetLogPage*>(copy.get()), nullptr);
    EXPECT_EQ(plain->name(), "GetLogPage");
    EXPECT_EQ(plain->protocol(), "NVME");
    EXPECT_EQ(plain->toString(), original.toString());
    EXPECT_EQ(plain->toXmlObject()->serialize(), original.toXmlObject()->serialize());
    EXPECT_EQ(plain->queueing().first, 77u);
    EXPECT_EQ(plain->queueing().sixth, 1.5);
    EXPECT_TRUE(plain->flags().dataIn);
    EXPECT_TRUE(plain->flags().admin);
}
