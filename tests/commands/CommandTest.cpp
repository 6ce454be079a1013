// The ATA and NVMe command classes: register and dword placement, attribute filling, dumps, XML
// and clones.
#include <gtest/gtest.h>

#include <tuple>
#include <typeinfo>

#include "drivekit/commands/ata/ReadDMA.h"
#include "drivekit/commands/ata/SMARTReadData.h"
#include "drivekit/commands/nvme/GetFeatures.h"
#include "drivekit/commands/nvme/GetLogPage.h"
#include "drivekit/commands/nvme/Identify.h"
#include "drivekit/commands/nvme/SetFeatures.h"
#include "drivekit/commands/smart/SMARTReadThresholds.h"
#include "drivekit/core/xml/XmlProperty.h"

using namespace drivekit::commands;
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
    const auto& r = command.current();
    EXPECT_EQ(std::make_tuple(0xF1, 0xDE, 0xBC, 0x4A),
              std::make_tuple(int{r.lbaLow}, int{r.lbaMid}, int{r.lbaHigh}, int{r.device}));
    command.setLba(0);
    EXPECT_EQ(command.current().device, 0x40);
}

// How each log page and feature puts its fields on the wire is the features' test; here, the
// edges of each field: masks, neighbours in the same dword, sizes and kept values.
TEST(GetLogPageDwords, FieldsAreMaskedKeepTheirNeighboursAndSizeTheTransfer) {
    nvme::GetLogPage command;
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
    nvme::GetLogPage command;
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
    nvme::Identify command;
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
    nvme::GetFeatures get;
    get.setFeatureId(0x02);
    get.setSelect(0x0B);  // only 0x3 fits
    EXPECT_EQ(uint32_t{get.entry().cdw10}, 0x00000302u);

    AttributeCollection attributes;
    attributes.set(typed("FeatureId", types::uint8, 0xC1));
    attributes.set(typed("DWORD12", types::uint32, 0x22222222));
    attributes.set(typed("TransferBytes", types::uint32, 4096));
    nvme::SetFeatures set;
    set.entry().cdw14 = 0xFF000000;
    set.applyAttributes(attributes, 0x81);
    EXPECT_EQ(uint32_t{set.entry().cdw12}, 0x22222222u);
    EXPECT_EQ(uint32_t{set.entry().cdw14}, 0xFF000001u);
    EXPECT_EQ(set.transferBytes, 4096u);
    EXPECT_TRUE(set.flags().dataOut);
}

TEST(NvmeCommandText, DumpNamesTheCommandSetSplitsDwordZeroAndShowsWideValuesAndFlags) {
    const std::string identify = nvme::Identify().toString();
    EXPECT_EQ(identify.rfind("Identify\n0000: 06 00 00 00 00 00 00 00  ........\n", 0), 0u) << identify;
    EXPECT_NE(identify.find("\nAdmin Command Set:\n"), std::string::npos);
    EXPECT_NE(identify.find("  Admin                     : True\n  Asynchronous              : False\n"),
              std::string::npos);

    nvme::Command command("Raw");
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

// A clone is a plain command of the protocol's base class that keeps the protocol, the name and
// every field, so it dumps and renders as the original does; the XML holds the registers as bytes.
TEST(CommandClone, IsAPlainCommandThatRendersAsTheOriginal) {
    smart::SMARTReadThresholds thresholds;
    thresholds.flags().extended = true;
    thresholds.previous().lbaLow = 0x99;
    thresholds.reserved = 0x1234;
    nvme::GetLogPage logPage;
    logPage.setLogId(0x02);
    logPage.setNumDwords(0x7F);
    logPage.transferBlocks = 3;
    logPage.submissionQueueId = 1;
    logPage.queueing().sixth = 1.5;
    const ata::SMARTReadData ataData;
    const std::vector<std::tuple<const drivekit::core::Command*, const std::type_info*, std::string>> cases{
        {&thresholds, &typeid(ata::Command), "SMART"},
        {&ataData, &typeid(ata::Command), "ATA"},
        {&logPage, &typeid(nvme::Command), "NVME"}};
    for (const auto& [original, base, protocol] : cases) {
        SCOPED_TRACE(original->name());
        const auto copy = original->clone();
        const drivekit::core::Command& plain = *copy;
        EXPECT_TRUE(typeid(plain) == *base);
        EXPECT_EQ(plain.protocol(), protocol);
        EXPECT_EQ(plain.name(), original->name());
        EXPECT_EQ(plain.toString(), original->toString());
        EXPECT_EQ(plain.toXmlObject()->serialize(), original->toXmlObject()->serialize());
        EXPECT_EQ(original->toXmlObject()->attribute("type"), protocol);
    }
    EXPECT_EQ(dynamic_cast<ata::Command&>(*thresholds.clone()).reserved, 0x1234u);
    EXPECT_EQ(dynamic_cast<nvme::Command&>(*logPage.clone()).queueing().sixth, 1.5);

    const auto ataXml = thresholds.toXmlObject();
    EXPECT_EQ(ataXml->propertyValue("currentTaskFile"), "D100004FC240B000");
    EXPECT_EQ(ataXml->propertyValue("previousTaskFile"), "0000990000000000");
    const auto nvmeXml = logPage.toXmlObject();
    const std::string entry = nvmeXml->propertyValue("nvmeCmd");
    ASSERT_EQ(entry.size(), 128u);
    EXPECT_EQ(entry.substr(0, 8), "02000000");
    EXPECT_EQ(entry.substr(80, 8), "02007F00");  // dword 10, little-endian
    EXPECT_EQ(nvmeXml->propertyValue("transferBytes"), "512");
}
