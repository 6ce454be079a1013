#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "drivekit/core/Status.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"
#include "drivekit/features/identify/decode/IdentifyTables.h"
#include "tests/features/IdentifyDecodeSupport.h"

namespace {

using namespace identify_decode_test;
using drivekit::core::Status;
namespace decode = drivekit::features::identify::decode;

Payload controllerData() {
    Payload data(4096);
    putLe(data, 0, 0x1C5C, 2);
    putText(data, 4, "SN123               ");
    putText(data, 24, "  Model X 512GB                         ");
    putText(data, 64, "FW01");  // NUL-padded, as some drives do
    putLe(data, 77, 5, 1);
    putLe(data, 256, 0x0008, 2);  // OACS: namespace management only
    putLe(data, 280, 5, 8);       // TNVMCAP = 2^64 + 5
    putLe(data, 288, 1, 8);
    putLe(data, 516, 32, 4);
    putLe(data, 2048, 900, 2);    // power state 0: 9.00 W
    putLe(data, 2051, 0x02, 1);   // non-operational
    putLe(data, 2052, 5, 4);
    putLe(data, 2048 + 31 * 32, 77, 2);
    putLe(data, 3845, 0x2A, 1);
    return data;
}

TEST(IdentifyDecodeController, RendersNumbersTextBitRowsAndNestedRecords) {
    Status status;
    auto tree = decode::decodeNvmeIdentify(0x01, controllerData(), status);
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(tree->attribute("name"), "Identify Controller");
    EXPECT_EQ(value(*tree, "PCI Vendor ID (VID)"), "0x1C5C");
    EXPECT_EQ(position(*tree, "PCI Vendor ID (VID)"), "Bytes 01:00");
    EXPECT_EQ(position(*tree, "Maximum Data Transfer Size (MDTS)"), "Byte 77");
    // Text loses its blank and NUL padding on both sides.
    EXPECT_EQ(value(*tree, "Serial Number (SN)"), "SN123");
    EXPECT_EQ(value(*tree, "Model Number (MN)"), "Model X 512GB");
    EXPECT_EQ(value(*tree, "Firmware Revision (FR)"), "FW01");
    EXPECT_EQ(value(*tree, "Number of Namespaces (NN)"), "32");
    EXPECT_EQ(value(*tree, "Total NVM Capacity (TNVMCAP)"), "18446744073709551621");
    EXPECT_NE(value(*tree, "Vendor Specific"), "0");

    const auto* management = bitOf(*tree, "Optional Admin Command Support (OACS)", "OACS: Namespace Management");
    ASSERT_NE(management, nullptr);
    EXPECT_EQ(management->attribute("value"), "1");
    EXPECT_EQ(management->attribute("description"), "Bit 3");
    const auto* format = bitOf(*tree, "Optional Admin Command Support (OACS)", "OACS: Format NVM");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->attribute("value"), "0");

    const auto* group = tree->object("Power State Descriptors");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->objects().size(), 32U);
    const auto* first = group->object("Power State Descriptor 0");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->attribute("description"), "Bytes 2079:2048");
    EXPECT_EQ(value(*first, "Non-Operational State (NOPS)"), "1");
    EXPECT_EQ(value(*first, "Entry Latency (ENLAT)"), "5");
    EXPECT_EQ(position(*first, "Entry Latency (ENLAT)"), "Bytes 07:04");
    ASSERT_NE(group->object("Power State Descriptor 31"), nullptr);
    EXPECT_EQ(value(*group->object("Power State Descriptor 31"), "Maximum Power (MP)"), "77");
}

TEST(IdentifyDecodeNamespace, RendersSizesFormatAndLbaFormats) {
    Payload data(4096);
    putLe(data, 0, 0x3A386030ULL, 8);
    putLe(data, 25, 1, 1);       // NLBAF: two formats
    putLe(data, 26, 0x11, 1);    // format 1, metadata at the end of the LBA
    putLe(data, 48, 0xFFFFFFFFFFFFFFFFULL, 8);
    putLe(data, 56, 0xFF, 8);    // NVMCAP above 64 bits
    putLe(data, 132, 0x000C0008, 4);  // LBAF1: 4096-byte blocks, 8 bytes metadata
    for (const uint8_t cns : {0x00, 0x11}) {
        SCOPED_TRACE(+cns);
        Status status;
        auto tree = decode::decodeNvmeIdentify(cns, data, status);
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(tree->attribute("name"), "Identify Namespace");
        EXPECT_EQ(value(*tree, "Namespace Size (NSZE)"), "976773168");
        EXPECT_EQ(value(*tree, "FLBAS: Format Index (Bits 3:0)"), "1");
        EXPECT_EQ(value(*tree, "FLBAS: Metadata Transferred at the End of the Data LBA"), "1");
        EXPECT_EQ(value(*tree, "NVM Capacity (NVMCAP)"), "4722366482869645213695");
        const auto* formats = tree->object("LBA Format Support");
        ASSERT_NE(formats, nullptr);
        EXPECT_EQ(formats->objects().size(), 64U);
        const auto* lbaf1 = formats->object("LBA Format 1");
        ASSERT_NE(lbaf1, nullptr);
        EXPECT_EQ(lbaf1->attribute("description"), "Bytes 135:132");
        EXPECT_EQ(value(*lbaf1, "LBA Data Size (LBADS)"), "12");
        EXPECT_EQ(value(*lbaf1, "Metadata Size (MS)"), "8");
    }
}

TEST(IdentifyDecodeEntryPoints, ShortDataFailsWithSizesAndUnknownCnsIsEmpty) {
    Status status;
    EXPECT_EQ(decode::decodeNvmeIdentify(0x01, Payload(100), status), nullptr);
    EXPECT_EQ(status, Status::unexpectedDataLength());
    EXPECT_NE(status.message().find("100"), std::string::npos);
    EXPECT_NE(status.message().find("4096"), std::string::npos);

    EXPECT_EQ(decode::decodeNvmeIdentify(0x02, Payload(), status), nullptr);
    EXPECT_FALSE(status.isSuccess());

    auto unknown = decode::decodeNvmeIdentify(0x05, Payload(4096), status);
    ASSERT_NE(unknown, nullptr);
    EXPECT_TRUE(unknown->isEmpty());
    EXPECT_EQ(status, Status::notImplemented());
    EXPECT_FALSE(decode::hasNvmeIdentifyDecoder(0x05));
    EXPECT_TRUE(decode::hasNvmeIdentifyDecoder(0x1C));
}

// A table's value fields and record groups must cover its structure exactly once, in
// order: a wrong offset or width in a table shows up here.
void expectTiles(const decode::FieldTable& table) {
    std::vector<std::pair<uint32_t, uint32_t>> ranges;
    for (const auto& field : table.fields) {
        if (field.kind == decode::FieldKind::value) {
            ranges.emplace_back(field.offset, field.width);
        } else if (field.kind == decode::FieldKind::records) {
            ranges.emplace_back(field.offset, field.width * field.count);
            EXPECT_EQ(field.width, field.record->size) << field.name;
            expectTiles(*field.record);
        }
    }
    std::sort(ranges.begin(), ranges.end());
    uint32_t next = 0;
    for (const auto& [offset, width] : ranges) {
        EXPECT_EQ(offset, next) << table.title << ": gap or overlap at byte " << next;
        next = offset + width;
    }
    EXPECT_EQ(next, table.size) << table.title;
}

TEST(IdentifyDecodeTables, EveryTableCoversItsStructureExactly) {
    expectTiles(decode::identifyControllerTable());
    expectTiles(decode::identifyNamespaceTable());
    expectTiles(decode::primaryControllerCapabilitiesTable());
    expectTiles(decode::secondaryControllerEntryTable());
    expectTiles(decode::namespaceGranularityTable());
    expectTiles(decode::uuidListEntryTable());
    expectTiles(decode::namespaceIdDescriptorHeaderTable());
    expectTiles(decode::commandSetVectorTable());
    expectTiles(decode::ataIdentifyDeviceTable());
    expectTiles(decode::independentNamespaceTable());
    expectTiles(decode::nvmControllerTable());
    expectTiles(decode::nvmNamespaceTable());
    expectTiles(decode::nvmSetListHeaderTable());
    expectTiles(decode::nvmSetAttributesEntryTable());
    expectTiles(decode::domainListHeaderTable());
    expectTiles(decode::domainAttributesEntryTable());
}

TEST(IdentifyDecodeEntryPoints, CommandSetSpecificStructuresAndListsOnlyForPackages) {
    Payload data(4096);
    putLe(data, 4, 7, 4);       // ANAGRPID
    putLe(data, 14, 0x01, 1);   // namespace ready
    Status status;
    auto packageView = decode::decodeNvmeIdentify(0x08, data, status, decode::IdentifyCoverage::package);
    ASSERT_NE(packageView, nullptr);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(packageView->attribute("name"), "I/O Command Set Independent Identify Namespace");
    EXPECT_EQ(value(*packageView, "ANA Group Identifier (ANAGRPID)"), "7");
    EXPECT_EQ(value(*packageView, "NSTAT: Namespace Ready"), "1");
    // The feature keeps an empty object for what only a package's reader decodes.
    for (const uint8_t cns : {0x04, 0x08, 0x18, 0x19, 0x1B}) {
        SCOPED_TRACE(+cns);
        EXPECT_TRUE(decode::hasNvmeIdentifyDecoder(cns, decode::IdentifyCoverage::package));
        EXPECT_FALSE(decode::hasNvmeIdentifyDecoder(cns));
        auto featureView = decode::decodeNvmeIdentify(cns, data, status);
        ASSERT_NE(featureView, nullptr);
        EXPECT_TRUE(featureView->isEmpty());
        EXPECT_EQ(status, Status::notImplemented());
    }
}

}  // namespace
