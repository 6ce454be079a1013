#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivekit/core/Attribute.h"
#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/Status.h"

using namespace drivekit::core;

namespace {

std::vector<uint8_t> bytesOf(const Attribute& attribute) {
    const Payload& value = attribute.value();
    return std::vector<uint8_t>(value.data(), value.data() + value.size());
}

Attribute ofType(const std::string& type) { return Attribute("Key", "Display", type); }

struct Conversion { std::string type, text, shown; };  // shown empty: the text must be refused

}  // namespace

TEST(Attribute, TypedWritesStoreTheTypeWidthLeastSignificantByteFirstAndReadsTakeTheirWidth) {
    Attribute attribute = ofType(types::string);
    attribute.setString("ABC");
    EXPECT_EQ(bytesOf(attribute), (std::vector<uint8_t>{'A', 'B', 'C', 0}));
    attribute.setUint32(0x11223344);
    EXPECT_EQ(bytesOf(attribute), (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11}));
    attribute.setUint64(0x0102030405060708ull);
    EXPECT_EQ(bytesOf(attribute), (std::vector<uint8_t>{8, 7, 6, 5, 4, 3, 2, 1}));
    attribute.setBool(true);
    EXPECT_EQ(bytesOf(attribute), std::vector<uint8_t>{1});
    attribute = ofType(types::sint16);  // text is stored in the type's width too
    ASSERT_TRUE(attribute.fromString("-2").isSuccess());
    EXPECT_EQ(bytesOf(attribute), (std::vector<uint8_t>{0xFE, 0xFF}));

    // Reads take only their width and never more than is stored.
    attribute.setUint64(0x1122334455667788ull);
    EXPECT_EQ(attribute.toUint8(), 0x88);
    EXPECT_EQ(attribute.toUint16(), 0x7788);
    EXPECT_EQ(attribute.toUint32(), 0x55667788u);
    attribute.setUint8(0xFE);
    EXPECT_EQ(attribute.toUint64(), 0xFEu);
    EXPECT_FALSE(attribute.toBool());  // true only when the first byte is one
    attribute.setUint8(1);
    EXPECT_TRUE(attribute.toBool());
}

TEST(Attribute, ToFieldRefusesAValueWiderThanTheFieldInsteadOfCuttingIt) {
    struct Row { uint64_t value; unsigned bits; bool fits; };
    for (const Row& row : std::vector<Row>{
             {0xFF, 8, true}, {0x1FF, 8, false}, {0x80, 7, false}, {~0ull, 64, true}, {~0ull, 32, false}}) {
        Attribute attribute("LogId", "Log Id", types::uint64);
        attribute.setUint64(row.value);
        uint64_t field = 7;
        const Status status = attribute.toField(row.bits, field);
        EXPECT_EQ(field, row.fits ? row.value : 7u) << row.value << " in " << row.bits;
        EXPECT_EQ(status.message(), row.fits ? Status::success().message()
                                             : "LogId " + std::to_string(row.value) + " does not fit its " +
                                                   std::to_string(row.bits) + "-bit field.");
    }
}

TEST(Attribute, TextStopsAtTheZeroByteListsRoundTripAndDisplayFormsFollowTheTypeName) {
    Attribute attribute = ofType(types::string);
    const char withZero[] = {'a', 'b', 0, 'c'};
    attribute.setBytes(withZero, sizeof withZero);
    EXPECT_EQ(attribute.toText(), "ab");
    const char unterminated[] = {'x', 'y'};
    attribute.setBytes(unterminated, sizeof unterminated);
    EXPECT_EQ(attribute.toText(), "xy");

    attribute.setStrings({"one", "", "three"});
    EXPECT_EQ(attribute.toStrings(), (std::vector<std::string>{"one", "", "three"}));
    attribute.setStrings({});
    EXPECT_FALSE(attribute.hasValue());

    // Display forms text cannot reach: raw bytes, an empty hex value and leading zero bytes.
    const uint8_t bytes[] = {0x00, 0x0A, 0xFF, 0x00};
    attribute = ofType(types::bytePointer);
    attribute.setBytes(bytes, sizeof bytes);
    EXPECT_EQ(attribute.toDisplayString(), "000AFF00");
    attribute = ofType(types::hexValue);
    EXPECT_EQ(attribute.toDisplayString(), "0x0");
    attribute.setBytes(bytes, sizeof bytes);
    EXPECT_EQ(attribute.toDisplayString(), "0xFF0A00");
    attribute = ofType(types::sint16);
    attribute.setUint16(0xFFFE);
    EXPECT_EQ(attribute.toDisplayString(), "-2");
}

// A text that does not suit the type is refused and the old value kept.
TEST(Attribute, FromStringAcceptsOnlyWhatSuitsTheType) {
    const std::vector<Conversion> conversions = {
        {types::uint8, "255", "255"}, {types::uint8, "0x1F", "31"}, {types::uint8, "0X1f", "31"},
        {types::uint8, "  42\t", "42"}, {types::uint64, "18446744073709551615", "18446744073709551615"},
        {types::sint8, "-128", "-128"}, {types::sint16, "-0x10", "-16"},
        {types::sint64, "-9223372036854775808", "-9223372036854775808"},
        {types::boolean, "TRUE", "True"}, {types::boolean, "False", "False"},
        {types::doubleType, "3.5", "3.5"}, {types::doubleType, "-1e3", "-1000"},
        {types::uint128, "340282366920938463463374607431768211455", "340282366920938463463374607431768211455"},
        {types::uint128, "0x10000000000000000", "18446744073709551616"},
        {types::hexValue, "0x1234", "0x1234"}, {types::bytePointer, "0A0bFF", "0A0BFF"},
        {types::listUint64, "1, 0x2", "01000000000000000200000000000000"},
        {types::vectorOfStrings, "alpha , beta", "alpha, beta"}, {types::string, " keeps blanks ", " keeps blanks "},
        {types::uint8, "true", ""},  {types::uint8, "256", ""},    {types::uint8, "-1", ""},
        {types::uint8, "", ""},      {types::uint8, "4 2", ""},    {types::uint8, "0x", ""},
        {types::uint8, "12a", ""},   {types::uint8, "+5", ""},     {types::sint8, "-129", ""},
        {types::sint8, "128", ""},   {types::sint8, "--1", ""},
        {types::uint64, "18446744073709551616", ""},
        {types::uint128, "340282366920938463463374607431768211456", ""},
        {types::boolean, "yes", ""}, {types::boolean, "2", ""},    {types::boolean, "", ""},
        {types::doubleType, "inf", ""}, {types::doubleType, "nan", ""},
        {types::doubleType, "1.2.3", ""}, {types::doubleType, "0x10", ""},
        {types::doubleType, "-", ""}, {types::bytePointer, "ABC", ""},
        {types::bytePointer, "zz", ""}, {types::listUint64, "1,,2", ""},
        {"no such type", "1", ""},
    };
    for (const auto& row : conversions) {
        SCOPED_TRACE(row.type + " '" + row.text + "'");
        Attribute attribute = ofType(row.type);
        attribute.setUint8(7);
        const Status status = attribute.fromString(row.text);
        if (row.shown.empty()) {
            EXPECT_EQ(status, Status::invalidAttributeValue());
            EXPECT_EQ(status.message(), "Invalid value type provided for the attribute.");
            EXPECT_EQ(bytesOf(attribute), std::vector<uint8_t>{7});
        } else {
            EXPECT_TRUE(status.isSuccess());
            EXPECT_EQ(attribute.toDisplayString(), row.shown);
        }
    }
}

TEST(AttributeCollection, WritesCarryTheDefinitionReplaceEarlierValuesAndMissingKeysReadAsNothing) {
    AttributeCollection collection;
    EXPECT_FALSE(collection.readBool("Absent"));
    EXPECT_EQ(collection.readUint64("Absent"), 0u);
    EXPECT_EQ(collection.readString("Absent"), "");
    EXPECT_FALSE(collection.get("Absent").hasValue());
    collection.set(attributes::namespaceId());
    EXPECT_EQ(collection.readUint32("NamespaceId"), 0u);  // defined but empty

    collection.writeString(attributes::serialNumber(), "SN-1");
    collection.writeString(attributes::serialNumber(), "SN-2");
    collection.writeUint64(Attribute("Big", "Big", types::uint64), 1ull << 40);
    EXPECT_EQ(collection.size(), 3u);  // the second serial number replaced the first
    EXPECT_EQ(collection.readString("SerialNumber"), "SN-2");
    EXPECT_EQ(collection.get("SerialNumber").displayName(), "Serial Number");
    EXPECT_EQ(collection.readUint64("Big"), 1ull << 40);
    collection.erase("Big");
    EXPECT_FALSE(collection.contains("Big"));

    // Under another key the attribute is kept as given.
    Attribute option("-type", "Type", types::string);
    option.setString("Identify");
    collection.set("-TYPE", option);
    EXPECT_EQ(collection.readString("-TYPE"), "Identify");
    EXPECT_FALSE(collection.contains("-type"));
}
