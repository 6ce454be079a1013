#include <gtest/gtest.h>

#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/identify/decode/IdentifyListDecoder.h"
#include "tests/features/IdentifyDecodeSupport.h"

namespace {

using namespace identify_decode_test;
namespace decode = drivekit::features::identify::decode;
namespace fields = drivekit::features::decode;
using List = decode::IdentifyListDecoder;

const std::string truncated = fields::FieldRenderer::truncatedName;
constexpr auto package = Coverage::package;

bool mentions(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(IdentifyDecodeNamespaceList, EndsAtTheFirstZeroOrAfter1024Entries) {
    Payload data(4096);
    putLe(data, {{0, 1, 4}, {4, 16, 4}, {12, 7, 4}});  // the last after the terminating zero: not an entry
    for (const uint8_t cns : {0x02, 0x10, 0x1A}) {
        SCOPED_TRACE(+cns);
        auto list = decoded(cns, data);
        EXPECT_EQ(value(*list, "Namespace ID 1"), "16");
        EXPECT_EQ(position(*list, "Namespace ID 1"), "Bytes 07:04");
        EXPECT_EQ(property(*list, "Namespace ID 2"), nullptr);
        EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:08");
        EXPECT_NE(value(*list, "Unused"), "0");
    }
    for (uint32_t i = 0; i < 1024; ++i) {
        putLe(data, i * 4, i + 1, 4);
    }
    auto full = decoded(0x02, data);
    EXPECT_EQ(full->properties().size(), 1024U);
    EXPECT_EQ(value(*full, "Namespace ID 1023"), "1024");
}

// Controller and endurance group lists: a 16-bit count, then that many 16-bit identifiers.
TEST(IdentifyDecodeIdentifierList, CountIsHonouredAndClampedToTheData) {
    struct Case { uint8_t cns; std::string count; std::string id; };
    for (const Case& c : {Case{0x12, "Number of Controller Entries", "Controller ID "},
                          Case{0x13, "Number of Controller Entries", "Controller ID "},
                          Case{0x19, "Number of Identifiers", "Endurance Group ID "}}) {
        SCOPED_TRACE(+c.cns);
        Payload data(4096);
        putLe(data, {{0, 2, 2}, {4, 0x1234, 2}, {6, 5, 2}});  // the last beyond the count
        auto list = decoded(c.cns, data, package);
        EXPECT_EQ(value(*list, c.count), "2");
        EXPECT_EQ(value(*list, c.id + "1"), "4660");
        EXPECT_EQ(position(*list, c.id + "1"), "Bytes 05:04");
        EXPECT_EQ(property(*list, c.id + "2"), nullptr);
        EXPECT_EQ(property(*list, truncated), nullptr);
        EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:06");

        putLe(data, {{0, 3000, 2}, {4094, 77, 2}});
        auto clamped = decoded(c.cns, data, package);
        EXPECT_EQ(value(*clamped, c.count), "3000");
        EXPECT_TRUE(mentions(value(*clamped, truncated), "2047"));
        EXPECT_EQ(value(*clamped, c.id + "2046"), "77");
        EXPECT_EQ(property(*clamped, c.id + "2047"), nullptr);
        EXPECT_EQ(property(*clamped, "Unused"), nullptr);
    }
}

// QEMU's namespaces carry EUI-64 and CSI descriptors (IdentifyDecodeQemu); not a UUID one.
TEST(IdentifyDecodeDescriptors, RendersAUuidDescriptorAndALengthOrHeaderPastTheEndStopsWithAMarker) {
    Payload data(4096);
    putLe(data, {{0, 3, 1}, {1, 16, 1}});
    for (uint32_t i = 0; i < 16; ++i) {
        putLe(data, 4 + i, 0x11 * i, 1);
    }
    auto list = decoded(0x03, data);
    ASSERT_EQ(list->objects().size(), 1U);
    const auto& uuid = objectOf(*list, "Namespace Identification Descriptor 0");
    EXPECT_EQ(uuid.attribute("description"), "Bytes 19:00");
    EXPECT_EQ(value(uuid, "Namespace Identifier (NID)"), "00112233-4455-6677-8899-aabbccddeeff");

    // Fifteen 259-byte descriptors end at 3885; the sixteenth would run to 4144.
    for (uint32_t at = 0; at + 4 <= 4096; at += 259) {
        putLe(data, {{at, 2, 1}, {at + 1, 255, 1}});
    }
    list = decoded(0x03, data);
    EXPECT_EQ(list->objects().size(), 15U);
    EXPECT_EQ(position(*list, truncated), "Bytes 3888:3885");

    Payload tiny(22);
    putLe(tiny, {{0, 1, 1}, {1, 8, 1}, {12, 2, 1}, {13, 16, 1}});
    auto shortList = List::descriptorList("Descriptors", tiny);
    EXPECT_EQ(shortList->objects().size(), 1U);
    EXPECT_TRUE(mentions(value(*shortList, truncated), "16"));
}

TEST(IdentifyDecodeUuidList, EndsAtAnAllZeroUuid) {
    Payload data(4096);
    putLe(data, {{32, 0x01, 1}, {48, 0xEFCDAB8967452301ULL, 8}, {56, 0x1032547698BADCFEULL, 8}, {64 + 16, 0x5A, 1}});
    putLe(data, {{96, 0x02, 1}, {128 + 16, 0x77, 1}});  // association set but the UUID is zero: the list ends
    auto list = decoded(0x17, data);
    ASSERT_EQ(list->objects().size(), 2U);
    const auto& first = objectOf(*list, "UUID List Entry 0");
    EXPECT_EQ(first.attribute("description"), "Bytes 63:32");
    EXPECT_EQ(value(first, "Identifier Association (Bits 1:0)"), "1");
    EXPECT_EQ(value(first, "UUID"), "01234567-89ab-cdef-fedc-ba9876543210");
    EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:96");
}

TEST(IdentifyDecodeSecondaryControllers, CountIsCheckedAgainstTheData) {
    Payload data(4096);  // a count that fits is in IdentifyDecodeQemu
    putLe(data, 0, 200, 1);
    auto clamped = decoded(0x15, data);
    EXPECT_EQ(clamped->objects().size(), 127U);
    EXPECT_TRUE(mentions(value(*clamped, truncated), "127"));
}

TEST(IdentifyDecodeCommandSets, VectorsEndAtTheFirstZeroVector) {
    Payload data(4096);
    putLe(data, {{0, 0x1, 8}, {8, 0x5, 8}, {24, 0x1, 8}});
    auto list = decoded(0x1C, data);
    ASSERT_EQ(list->objects().size(), 2U);
    const auto& second = objectOf(*list, "Command Set Vector 1");
    EXPECT_EQ(value(second, "Command Set Vector"), "0x0000000000000005");
    EXPECT_EQ(value(second, "Zoned Namespace Command Set"), "1");
    EXPECT_EQ(value(second, "Key Value Command Set"), "0");
}

// NVM set and domain lists: a 128-byte header counting the 128-byte entries after it.
TEST(IdentifyDecodeAttributesList, EntriesFollowTheHeaderUpToTheCountClampedToTheDataOrWhereItEnds) {
    Payload data(4096);
    putLe(data, {{0, 2, 1}, {128, 1, 2}, {256, 2, 2}});
    putLe(data, {{144, 5, 8}, {152, 1, 8}});  // the 128-bit capacity at bytes 31:16 of the entry: 2^64 + 5
    putLe(data, 384, 3, 2);                   // past the count: not an entry
    auto sets = decoded(0x04, data, package);
    EXPECT_EQ(value(*sets, "Number of Identifiers"), "2");
    ASSERT_EQ(sets->objects().size(), 2U);
    const auto& first = objectOf(*sets, "NVM Set Attributes Entry 0");
    EXPECT_EQ(first.attribute("description"), "Bytes 255:128");
    EXPECT_EQ(value(first, "Total NVM Set Capacity (TNVMSETCAP)"), "18446744073709551621");
    EXPECT_EQ(value(objectOf(*sets, "NVM Set Attributes Entry 1"), "NVM Set Identifier (NVMSETID)"), "2");
    EXPECT_EQ(property(*sets, truncated), nullptr);
    EXPECT_EQ(position(*sets, "Unused"), "Bytes 4095:384");

    putLe(data, {{0, 40, 1}, {3968, 31, 2}});  // 31 entries fit after the header
    auto domains = decoded(0x18, data, package);
    EXPECT_EQ(value(*domains, "Number of Entries"), "40");
    EXPECT_TRUE(mentions(value(*domains, truncated), "31")) << value(*domains, truncated);
    ASSERT_EQ(domains->objects().size(), 31U);
    EXPECT_EQ(value(objectOf(*domains, "Domain Attributes Entry 0"), "Domain Capacity"), "18446744073709551621");
    const auto& last = objectOf(*domains, "Domain Attributes Entry 30");
    EXPECT_EQ(last.attribute("description"), "Bytes 4095:3968");
    EXPECT_EQ(value(last, "Domain Identifier"), "31");
    EXPECT_EQ(property(*domains, "Unused"), nullptr);

    // Straight from the list decoder: two entries reported, room for one.
    Payload cut(300);
    putLe(cut, {{0, 2, 1}, {128, 9, 2}});
    auto list = List::domainList("Domain List", cut);
    ASSERT_EQ(list->objects().size(), 1U);
    EXPECT_EQ(value(objectOf(*list, "Domain Attributes Entry 0"), "Domain Identifier"), "9");
    EXPECT_TRUE(mentions(value(*list, truncated), "exceeds the 1 ")) << value(*list, truncated);
    EXPECT_EQ(position(*list, "Unused"), "Bytes 299:256");

    auto headerOnly = List::nvmSetList("NVM Set List", Payload(100));
    EXPECT_TRUE(headerOnly->objects().empty());
    EXPECT_TRUE(mentions(value(*headerOnly, truncated), "100 bytes"));
    EXPECT_EQ(property(*headerOnly, "Number of Identifiers"), nullptr);
}

}  // namespace
