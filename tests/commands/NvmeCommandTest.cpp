// The NVMe command classes: dword placement, attribute filling, dump, XML and clone.
#include <gtest/gtest.h>

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
    EXPECT_TRUE(attribute.fromString(std::to_string(value)).isSuccess()) << key;
    return attribute;
}

}  // namespace

// The submission entry is packed: its dwords are compared as copies (uint32_t{...}), never bound
// to the references that EXPECT_EQ takes.

// How each log page and feature puts its fields on the wire is the features' test; here, the
// edges of each field: masks, neighbours in the same dword, sizes and kept values.
TEST(GetLogPageDwords, FieldsAreMaskedKeepTheirNeighboursAndSizeTheTransfer) {
    GetLogPage command;
    command.setLogId(0x07);
    command.setNumDwords(0x0001FFFF);
    command.setLogSpecificId(0xBEEF);
    command.setRetainAsynchronousEvent(true);
    command.setLogSpecificField(0x05);  // an LSP write must not clear RAE
    EXPECT_EQ(uint32_t{command.entry().cdw10}, 0xFFFF8507u);
    EXPECT_EQ(uint32_t{command.entry().cdw11}, 0xBEEF0001u);
    EXPECT_EQ(command.transferBytes, 0x20000u * 4);

    command.setRetainAsynchronousEvent(false);
    EXPECT_EQ(uint32_t{command.entry().cdw10}, 0xFFFF0507u);
    command.setLogSpecificField(0x86);  // only 0x06 fits; bit 7 must not become RAE
    EXPECT_EQ(uint32_t{command.entry().cdw10}, 0xFFFF0607u);
    EXPECT_FALSE(command.retainAsynchronousEvent());

    command.entry().cdw14 = 0xABCD0000;
    command.setUuidIndex(0x83);
    EXPECT_EQ(uint32_t{command.entry().cdw14}, 0xABCD0003u);
    // The largest count must not wrap the byte count around 32 bits.
    command.setNumDwords(0xFFFFFFFF);
    EXPECT_EQ(command.transferBytes, 0x400000000ull);
}

TEST(GetLogPageDwords, ApplyAttributesFillsPresentKeysKeepsTheRestAndRefusesWideValues) {
    AttributeCollection attributes;
    attributes.set(typed("LogId", types::uint8, 0xC0));
    attributes.set(typed("NumDWORDs", types::uint32, 0x7F));
    GetLogPage command;
    command.setLogSpecificId(0x0042);  // no "LogSpecificId" attribute: must survive
    command.applyAttributes(attributes, 2);
    EXPECT_EQ(command.logId(), 0xC0);
    EXPECT_EQ(command.transferBytes, 512u);
    EXPECT_EQ(command.logSpecificId(), 0x0042);
    EXPECT_EQ(command.uuidIndex(), 2);

    // A value wider than its field is refused, never cut to fit.
    attributes.set(typed("LogId", types::uint32, 0x1FF));
    EXPECT_FALSE(command.applyAttributes(attributes, 2).isSuccess());
    EXPECT_EQ(command.logId(), 0xC0);
}

TEST(IdentifyDwords, CnsAndCsiLandInTheirBytesOnly) {
    Identify command;
    command.entry().cdw10 = 0x12345600;
    command.entry().cdw11 = 0x0000FFFF;
    command.setCns(0x11);
    command.setCsi(0x02);
    EXPECT_EQ(uint32_t{command.entry().cdw10}, 0x12345611u);
    EXPECT_EQ(uint32_t{command.entry().cdw11}, 0x0200FFFFu);

    AttributeCollection attributes;
    attributes.set(typed("ControllerNamespaceStructure", types::uint8, 0x02));
    command.applyAttributes(attributes);
    EXPECT_EQ(command.cns(), 0x02);
    EXPECT_EQ(command.csi(), 0x02);  // no "CSI" attribute: kept
}

TEST(FeaturesDwords, SelectIsThreeBitsAndTheUuidIndexKeepsTheRestOfDword14) {
    GetFeatures get;
    get.setFeatureId(0x02);
    get.setSelect(0x0B);  // only 0x3 fits
    EXPECT_EQ(uint32_t{get.entry().cdw10}, 0x00000302u);

    AttributeCollection attributes;
    attributes.set(typed("FeatureId", types::uint8, 0xC1));
    attributes.set(typed("DWORD12", types::uint32, 0x22222222));
    attributes.set(typed("TransferBytes", types::uint32, 4096));
    SetFeatures set;
    set.entry().cdw14 = 0xFF000000;
    set.applyAttributes(attributes, 0x81);
    EXPECT_EQ(uint32_t{set.entry().cdw12}, 0x22222222u);
    EXPECT_EQ(uint32_t{set.entry().cdw14}, 0xFF000001u);
    EXPECT_EQ(set.transferBytes, 4096u);
    EXPECT_TRUE(set.flags().dataOut);
}

TEST(NvmeCommandText, DumpNamesTheCommandSetSplitsDwordZeroAndShowsWideValuesAndFlags) {
    const std::string identify = Identify().toString();
    EXPECT_EQ(identify.rfind("Identify\n0000: 06 00 00 00 00 00 00 00  ........\n", 0), 0u) << identify;
    EXPECT_NE(identify.find("\nAdmin Command Set:\n"), std::string::npos);
    EXPECT_NE(identify.find("  Admin                     : True\n  Asynchronous              : False\n"),
              std::string::npos);

    Command command("Raw");
    command.entry().cdw0 = 0xABCDC1F2;  // CID 0xABCD, PSDT 3, reserved 0, FUSE 1, OPC 0xF2
    command.entry().cdw2 = 0x44434241;  // "ABCD"
    command.entry().prp1 = 0x1122334455667788ull;
    const std::string text = command.toString();
    for (const char* line : {"NVM Command Set:\n", "0008: 41 42 43 44 00 00 00 00  ABCD....\n",
                             "    OPC:             0x000000F2 (242)\n", "    FUSE:            0x00000001 (1)\n",
                             "    PSDT:            0x00000003 (3)\n", "    CID:             0x0000ABCD (43981)\n",
                             "  PRP Entry 1:       0x1122334455667788 (1234605616436508552)\n",
                             "    DWord 7 (PRP1):  0x11223344 (287454020)\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

// The dump holds the entry and the flags, the XML form the transfer sizes and the queue.
TEST(NvmeCommandClone, IsAPlainCommandThatRendersTheSameAndXmlHoldsTheEntryAsBytes) {
    GetLogPage original;
    original.setLogId(0x02);
    original.setNumDwords(0x7F);
    original.transferBlocks = 3;
    original.submissionQueueId = 1;
    original.queueing().sixth = 1.5;
    const auto object = original.toXmlObject();
    EXPECT_EQ(object->attribute("type"), "NVME");
    const std::string entry = object->propertyValue("nvmeCmd");
    ASSERT_EQ(entry.size(), 128u);
    EXPECT_EQ(entry.substr(0, 8), "02000000");
    EXPECT_EQ(entry.substr(80, 8), "02007F00");  // dword 10, little-endian
    EXPECT_EQ(object->propertyValue("transferBytes"), "512");

    const auto copy = original.clone();
    auto* plain = dynamic_cast<Command*>(copy.get());
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(dynamic_cast<GetLogPage*>(copy.get()), nullptr);
    EXPECT_EQ(plain->name(), "GetLogPage");
    EXPECT_EQ(plain->protocol(), "NVME");
    EXPECT_EQ(plain->toString(), original.toString());
    EXPECT_EQ(plain->toXmlObject()->serialize(), object->serialize());
    EXPECT_EQ(plain->queueing().sixth, 1.5);
}
