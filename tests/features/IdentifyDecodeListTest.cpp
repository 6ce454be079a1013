#include <gtest/gtest.h>

#include "drivekit/core/Status.h"
#include "drivekit/features/identify/decode/FieldRenderer.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"
#include "drivekit/features/identify/decode/IdentifyListDecoder.h"
#include "tests/features/IdentifyDecodeSupport.h"

namespace {

using namespace identify_decode_test;
using drivekit::core::Status;
namespace decode = drivekit::features::identify::decode;

const std::string truncated = decode::FieldRenderer::truncatedName;

std::unique_ptr<XmlObject> decoded(uint8_t cns, const Payload& data) {
    Status status;
    auto tree = decode::decodeNvmeIdentify(cns, data, status);
    EXPECT_TRUE(status.isSuccess()) << status.message();
    return tree;
}

// The lists only a package's reader decodes.
std::unique_ptr<XmlObject> packageDecoded(uint8_t cns, const Payload& data) {
    Status status;
    auto tree = decode::decodeNvmeIdentify(cns, data, status, decode::IdentifyCoverage::package);
    EXPECT_TRUE(status.isSuccess()) << status.message();
    return tree;
}

TEST(IdentifyDecodeNamespaceList, EndsAtTheFirstZeroWithTitlesByCns) {
    Payload data(4096);
    putLe(data, 0, 1, 4);
    putLe(data, 4, 2, 4);
    putLe(data, 8, 0x10, 4);
    putLe(data, 16, 7, 4);  // after the terminating zero: not an entry
    const std::pair<uint8_t, const char*> titles[] = {
        {0x02, "Attached Namespace IDs"},
        {0x10, "Allocated Namespace IDs"},
        {0x1A, "I/O Command Set specific Allocated Namespace ID list"}};
    for (const auto& [cns, title] : titles) {
        auto list = decoded(cns, data);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->attribute("name"), title);
        EXPECT_EQ(value(*list, "Namespace ID 0"), "1");
        EXPECT_EQ(value(*list, "Namespace ID 2"), "16");
        EXPECT_EQ(position(*list, "Namespace ID 2"), "Bytes 11:08");
        EXPECT_EQ(property(*list, "Namespace ID 3"), nullptr);
        EXPECT_EQ(property(*list, "Namespace ID 4"), nullptr);
        EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:12");
        EXPECT_NE(value(*list, "Unused"), "0");
    }
}

TEST(IdentifyDecodeNamespaceList, AFullListStopsAfter1024Entries) {
    Payload data(4096);
    for (uint32_t i = 0; i < 1024; ++i) {
        putLe(data, i * 4, i + 1, 4);
    }
    auto list = decoded(0x02, data);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->properties().size(), 1024U);
    EXPECT_EQ(value(*list, "Namespace ID 1023"), "1024");
    EXPECT_EQ(property(*list, "Unused"), nullptr);
}

TEST(IdentifyDecodeControllerList, CountBeyondTheDataIsClampedWithAMarker) {
    Payload data(4096);
    putLe(data, 0, 3000, 2);
    putLe(data, 2, 0x41, 2);
    putLe(data, 4094, 9, 2);
    auto list = decoded(0x13, data);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->attribute("name"), "All Controllers");
    EXPECT_EQ(value(*list, "Number of Controller Entries"), "3000");
    ASSERT_NE(property(*list, truncated), nullptr);
    EXPECT_NE(value(*list, truncated).find("2047"), std::string::npos);
    EXPECT_EQ(value(*list, "Controller ID 0"), "65");
    EXPECT_EQ(value(*list, "Controller ID 2046"), "9");
    EXPECT_EQ(position(*list, "Controller ID 2046"), "Bytes 4095:4094");
    EXPECT_EQ(property(*list, "Controller ID 2047"), nullptr);
}

TEST(IdentifyDecodeControllerList, ReportedCountIsHonoured) {
    Payload data(4096);
    putLe(data, 0, 2, 2);
    putLe(data, 2, 1, 2);
    putLe(data, 4, 2, 2);
    putLe(data, 6, 3, 2);  // beyond the count
    auto list = decoded(0x12, data);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->attribute("name"), "Attached Controllers");
    EXPECT_EQ(value(*list, "Controller ID 1"), "2");
    EXPECT_EQ(property(*list, "Controller ID 2"), nullptr);
    EXPECT_EQ(property(*list, truncated), nullptr);
    EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:06");
}

TEST(IdentifyDecodeDescriptors, RendersUuidAndCsiDescriptorsThenStopsAtZeroLength) {
    Payload data(4096);
    putLe(data, 0, 3, 1);
    putLe(data, 1, 16, 1);
    for (uint32_t i = 0; i < 16; ++i) {
        putLe(data, 4 + i, 0x10 * (i % 16) + i % 16, 1);
    }
    putLe(data, 20, 4, 1);
    putLe(data, 21, 1, 1);
    putLe(data, 24, 2, 1);
    auto list = decoded(0x03, data);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->attribute("name"), "Namespace Identification Descriptors");
    ASSERT_EQ(list->objects().size(), 2U);
    const auto* uuid = list->object("Namespace Identification Descriptor 0");
    ASSERT_NE(uuid, nullptr);
    EXPECT_EQ(uuid->attribute("description"), "Bytes 19:00");
    EXPECT_EQ(value(*uuid, "Namespace Identifier Type (NIDT)"), "0x03");
    EXPECT_EQ(value(*uuid, "Namespace Identifier (NID)"), "00112233-4455-6677-8899-aabbccddeeff");
    const auto* csi = list->object("Namespace Identification Descriptor 1");
    ASSERT_NE(csi, nullptr);
    EXPECT_EQ(value(*csi, "Namespace Identifier (NID)"), "2");
    EXPECT_EQ(position(*csi, "Namespace Identifier (NID)"), "Byte 04");
}

TEST(IdentifyDecodeDescriptors, ALengthPastTheEndStopsWithAMarker) {
    // Fifteen 259-byte descriptors end at 3885; the sixteenth would run to 4144.
    Payload data(4096);
    for (uint32_t at = 0; at + 4 <= 4096; at += 259) {
        putLe(data, at, 2, 1);
        putLe(data, at + 1, 255, 1);
    }
    auto list = decoded(0x03, data);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->objects().size(), 15U);
    ASSERT_NE(property(*list, truncated), nullptr);
    EXPECT_EQ(position(*list, truncated), "Bytes 3888:3885");

    // Straight from the list decoder: a header that itself does not fit ends the list too.
    Payload tiny(22);
    putLe(tiny, 0, 1, 1);
    putLe(tiny, 1, 8, 1);
    putLe(tiny, 12, 2, 1);
    putLe(tiny, 13, 16, 1);
    auto shortList = decode::IdentifyListDecoder::descriptorList("Descriptors", tiny);
    EXPECT_EQ(shortList->objects().size(), 1U);
    EXPECT_NE(value(*shortList, truncated).find("16"), std::string::npos);
}

TEST(IdentifyDecodeUuidList, EndsAtAnAllZeroUuid) {
    Payload data(4096);
    putLe(data, 32, 0x01, 1);
    putLe(data, 48, 0xEFCDAB8967452301ULL, 8);
    putLe(data, 56, 0x1032547698BADCFEULL, 8);
    putLe(data, 64 + 16, 0x5A, 1);
    putLe(data, 96, 0x02, 1);  // association set but the UUID is zero: the list ends
    putLe(data, 128 + 16, 0x77, 1);
    auto list = decoded(0x17, data);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->objects().size(), 2U);
    const auto* first = list->object("UUID List Entry 0");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->attribute("description"), "Bytes 63:32");
    EXPECT_EQ(value(*first, "Identifier Association (Bits 1:0)"), "1");
    EXPECT_EQ(value(*first, "UUID"), "01234567-89ab-cdef-fedc-ba9876543210");
    EXPECT_EQ(list->object("UUID List Entry 2"), nullptr);
    EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:96");
}

TEST(IdentifyDecodeSecondaryControllers, CountIsCheckedAgainstTheData) {
    Payload data(4096);
    putLe(data, 0, 2, 1);
    putLe(data, 32, 0x0002, 2);
    putLe(data, 36, 0x01, 1);
    putLe(data, 64, 0x0003, 2);
    auto list = decoded(0x15, data);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->attribute("name"), "Secondary Controller List");
    ASSERT_EQ(list->objects().size(), 2U);
    EXPECT_EQ(value(*list->object("Secondary Controller Entry 0"), "SCS: Online"), "1");
    EXPECT_EQ(value(*list->object("Secondary Controller Entry 1"),
                    "Secondary Controller Identifier (SCID)"),
              "0x0003");
    EXPECT_EQ(property(*list, truncated), nullptr);

    putLe(data, 0, 200, 1);
    auto clamped = decoded(0x15, data);
    ASSERT_NE(clamped, nullptr);
    EXPECT_EQ(clamped->objects().size(), 127U);
    EXPECT_NE(value(*clamped, truncated).find("127"), std::string::npos);
}

TEST(IdentifyDecodeCommandSets, VectorsEndAtTheFirstZeroVector) {
    Payload data(4096);
    putLe(data, 0, 0x1, 8);
    putLe(data, 8, 0x5, 8);
    putLe(data, 24, 0x1, 8);
    auto list = decoded(0x1C, data);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->objects().size(), 2U);
    const auto* second = list->object("Command Set Vector 1");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(value(*second, "Command Set Vector"), "0x0000000000000005");
    EXPECT_EQ(value(*second, "Zoned Namespace Command Set"), "1");
    EXPECT_EQ(value(*second, "Key Value Command Set"), "0");
}

TEST(IdentifyDecodeFixedStructures, PrimaryCapabilitiesAndGranularity) {
    Payload data(4096);
    putLe(data, 0, 0x41, 2);
    putLe(data, 32, 64, 4);
    auto primary = decoded(0x14, data);
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(primary->attribute("name"), "Primary Controller Capabilities");
    EXPECT_EQ(value(*primary, "Controller Identifier (CNTLID)"), "0x0041");
    EXPECT_EQ(value(*primary, "VQ Resources Flexible Total (VQFRT)"), "64");

    Payload granularity(4096);
    putLe(granularity, 4, 1, 1);
    putLe(granularity, 48, 0x100000, 8);
    auto list = decoded(0x16, granularity);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->attribute("name"), "Namespace Granularity Attributes");
    EXPECT_EQ(value(*list, "Number of Descriptors (NOD)"), "1");
    const auto* second = list->object("Namespace Granularity Descriptors")
                             ->object("Namespace Granularity Descriptor 1");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(value(*second, "Namespace Size Granularity"), "1048576");
}

TEST(IdentifyDecodeNvmSetList, EntriesFollowTheHeaderUpToTheCount) {
    Payload data(4096);
    putLe(data, 0, 2, 1);
    putLe(data, 128, 1, 2);          // entry 0: NVM set 1
    putLe(data, 130, 7, 2);          //   in endurance group 7
    putLe(data, 136, 800, 4);        //   80 us typical random read
    putLe(data, 140, 32, 4);
    putLe(data, 144, 5, 8);          //   total capacity 2^64 + 5
    putLe(data, 152, 1, 8);
    putLe(data, 160, 4096, 8);
    putLe(data, 256, 2, 2);          // entry 1
    putLe(data, 384, 3, 2);          // past the count: not an entry
    auto list = packageDecoded(0x04, data);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->attribute("name"), "NVM Set List");
    EXPECT_EQ(value(*list, "Number of Identifiers"), "2");
    EXPECT_EQ(position(*list, "Reserved"), "Bytes 127:01");
    ASSERT_EQ(list->objects().size(), 2U);
    const auto* first = list->object("NVM Set Attributes Entry 0");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->attribute("description"), "Bytes 255:128");
    EXPECT_EQ(value(*first, "NVM Set Identifier (NVMSETID)"), "1");
    EXPECT_EQ(value(*first, "Endurance Group Identifier (ENDGID)"), "7");
    EXPECT_EQ(value(*first, "Random 4 KiB Read Typical (RR4KT)"), "800");
    EXPECT_EQ(value(*first, "Optimal Write Size (OWS)"), "32");
    EXPECT_EQ(value(*first, "Total NVM Set Capacity (TNVMSETCAP)"), "18446744073709551621");
    EXPECT_EQ(position(*first, "Total NVM Set Capacity (TNVMSETCAP)"), "Bytes 31:16");
    EXPECT_EQ(value(*first, "Unallocated NVM Set Capacity (UNVMSETCAP)"), "4096");
    EXPECT_EQ(value(*list->object("NVM Set Attributes Entry 1"), "NVM Set Identifier (NVMSETID)"),
              "2");
    EXPECT_EQ(property(*list, truncated), nullptr);
    EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:384");
    EXPECT_NE(value(*list, "Unused"), "0");
}

TEST(IdentifyDecodeDomainList, ACountBeyondTheDataIsClampedWithAMarker) {
    Payload data(4096);
    putLe(data, 0, 40, 1);           // 31 entries fit after the header
    putLe(data, 128, 1, 2);
    putLe(data, 144, 1000, 8);
    putLe(data, 160, 600, 8);
    putLe(data, 176, 900, 8);
    putLe(data, 3968, 31, 2);        // the last entry that fits
    auto list = packageDecoded(0x18, data);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->attribute("name"), "Domain List");
    EXPECT_EQ(value(*list, "Number of Entries"), "40");
    ASSERT_NE(property(*list, truncated), nullptr);
    EXPECT_NE(value(*list, truncated).find("31"), std::string::npos) << value(*list, truncated);
    EXPECT_EQ(position(*list, truncated), "Byte 00");
    ASSERT_EQ(list->objects().size(), 31U);
    const auto* first = list->object("Domain Attributes Entry 0");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(value(*first, "Domain Identifier"), "1");
    EXPECT_EQ(value(*first, "Domain Capacity"), "1000");
    EXPECT_EQ(value(*first, "Unallocated Domain Capacity"), "600");
    EXPECT_EQ(value(*first, "Max Endurance Group Domain Capacity"), "900");
    EXPECT_EQ(position(*first, "Max Endurance Group Domain Capacity"), "Bytes 63:48");
    const auto* last = list->object("Domain Attributes Entry 30");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->attribute("description"), "Bytes 4095:3968");
    EXPECT_EQ(value(*last, "Domain Identifier"), "31");
    EXPECT_EQ(property(*list, "Unused"), nullptr);
}

TEST(IdentifyDecodeDomainList, ShortDataEndsTheListWhereItEnds) {
    // Straight from the list decoder: two entries reported, room for one.
    Payload data(300);
    putLe(data, 0, 2, 1);
    putLe(data, 128, 9, 2);
    auto list = decode::IdentifyListDecoder::domainList("Domain List", data);
    ASSERT_EQ(list->objects().size(), 1U);
    EXPECT_EQ(value(*list->object("Domain Attributes Entry 0"), "Domain Identifier"), "9");
    EXPECT_NE(value(*list, truncated).find("exceeds the 1 "), std::string::npos)
        << value(*list, truncated);
    EXPECT_EQ(position(*list, "Unused"), "Bytes 299:256");

    auto headerOnly = decode::IdentifyListDecoder::nvmSetList("NVM Set List", Payload(100));
    EXPECT_TRUE(headerOnly->objects().empty());
    EXPECT_NE(value(*headerOnly, truncated).find("100 bytes"), std::string::npos);
    EXPECT_EQ(property(*headerOnly, "Number of Identifiers"), nullptr);
}

TEST(IdentifyDecodeEnduranceGroupList, CountIsHonouredAndClamped) {
    Payload data(4096);
    putLe(data, 0, 2, 2);
    putLe(data, 2, 1, 2);
    putLe(data, 4, 0x1234, 2);
    putLe(data, 6, 5, 2);            // beyond the count
    auto list = packageDecoded(0x19, data);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->attribute("name"), "Endurance Group List");
    EXPECT_EQ(value(*list, "Number of Identifiers"), "2");
    EXPECT_EQ(value(*list, "Endurance Group ID 1"), "4660");
    EXPECT_EQ(position(*list, "Endurance Group ID 1"), "Bytes 05:04");
    EXPECT_EQ(property(*list, "Endurance Group ID 2"), nullptr);
    EXPECT_EQ(property(*list, truncated), nullptr);
    EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:06");

    putLe(data, 0, 0xFFFF, 2);
    putLe(data, 4094, 77, 2);
    auto clamped = packageDecoded(0x19, data);
    ASSERT_NE(clamped, nullptr);
    EXPECT_NE(value(*clamped, truncated).find("2047"), std::string::npos);
    EXPECT_EQ(value(*clamped, "Endurance Group ID 2046"), "77");
    EXPECT_EQ(property(*clamped, "Endurance Group ID 2047"), nullptr);
    EXPECT_EQ(property(*clamped, "Unused"), nullptr);
}

}  // namespace
