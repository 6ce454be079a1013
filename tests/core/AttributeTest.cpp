#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>
#include <vector>

#include "drivekit/core/Attribute.h"
#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/ProductTable.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/logging/Log.h"

using namespace drivekit::core;

namespace {

std::vector<uint8_t> bytesOf(const Attribute& attribute) {
    const Payload& value = attribute.value();
    return std::vector<uint8_t>(value.data(), value.data() + value.size());
}

Attribute ofType(const std::string& type) { return Attribute("Key", "Display", type); }

struct Conversion {
    std::string type;
    std::string text;
    std::string shown;  // empty: the text must be refused
};

// Collects what the library logs while the object lives.
class LogCapture {
public:
    LogCapture() {
        logging::setSink([this](logging::Severity severity, const std::string& message) {
            records_.push_back(std::string(logging::severityName(severity)) + " " + message);
        });
    }
    ~LogCapture() { logging::setSink({}); }
    const std::vector<std::string>& records() const { return records_; }

private:
    std::vector<std::string> records_;
};

}  // namespace

TEST(Attribute, TypedWritesStoreExactlyTheTypeWidthLeastSignificantByteFirst) {
    Attribute attribute = ofType(types::string);
    attribute.setString("ABC");
    EXPECT_EQ(bytesOf(attribute), (std::vector<uint8_t>{'A', 'B', 'C', 0}));
    attribute.setUint32(0x11223344);
    EXPECT_EQ(bytesOf(attribute), (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11}));
    attribute.setUint16(0xA1B2);
    EXPECT_EQ(bytesOf(attribute), (std::vector<uint8_t>{0xB2, 0xA1}));
    attribute.setUint64(0x0102030405060708ull);
    EXPECT_EQ(bytesOf(attribute), (std::vector<uint8_t>{8, 7, 6, 5, 4, 3, 2, 1}));
    attribute.setBool(true);
    EXPECT_EQ(bytesOf(attribute), std::vector<uint8_t>{1});
    attribute.setBool(false);
    EXPECT_EQ(bytesOf(attribute), std::vector<uint8_t>{0});
}

TEST(Attribute, TypedReadsTakeOnlyTheirWidthAndNeverMoreThanIsStored) {
    Attribute attribute = ofType(types::uint64);
    attribute.setUint64(0x1122334455667788ull);
    EXPECT_EQ(attribute.toUint8(), 0x88);
    EXPECT_EQ(attribute.toUint16(), 0x7788);
    EXPECT_EQ(attribute.toUint32(), 0x55667788u);
    attribute.setUint8(0xFE);
    EXPECT_EQ(attribute.toUint64(), 0xFEu);
    EXPECT_EQ(attribute.toUint32(), 0xFEu);
}

TEST(Attribute, BooleanIsTrueOnlyWhenTheFirstByteIsOne) {
    Attribute attribute = ofType(types::boolean);
    EXPECT_FALSE(attribute.toBool());
    attribute.setUint8(2);
    EXPECT_FALSE(attribute.toBool());
    attribute.setUint8(1);
    EXPECT_TRUE(attribute.toBool());
}

TEST(Attribute, TextStopsAtTheZeroByteAndListsRoundTrip) {
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
}

TEST(Attribute, DisplayFormsFollowTheTypeName) {
    Attribute attribute = ofType(types::boolean);
    attribute.setBool(true);
    EXPECT_EQ(attribute.toDisplayString(), "True");
    attribute = ofType(types::sint16);
    attribute.setUint16(0xFFFE);
    EXPECT_EQ(attribute.toDisplayString(), "-2");
    attribute = ofType(types::ulong);
    attribute.setUint64(std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(attribute.toDisplayString(), "18446744073709551615");

    const uint8_t bytes[] = {0x00, 0x0A, 0xFF, 0x00};
    attribute = ofType(types::bytePointer);
    attribute.setBytes(bytes, sizeof bytes);
    EXPECT_EQ(attribute.toDisplayString(), "000AFF00");
    attribute = ofType(types::hexValue);
    EXPECT_EQ(attribute.toDisplayString(), "0x0");
    attribute.setBytes(bytes, sizeof bytes);
    EXPECT_EQ(attribute.toDisplayString(), "0xFF0A00");

    uint8_t big[16] = {};
    big[15] = 0x80;  // 2^127
    attribute = ofType(types::uint128);
    attribute.setBytes(big, sizeof big);
    EXPECT_EQ(attribute.toDisplayString(), "170141183460469231731687303715884105728");

    attribute = ofType(types::vectorOfStrings);
    attribute.setStrings({"a", "b"});
    EXPECT_EQ(attribute.toDisplayString(), "a, b");
}

TEST(Attribute, FromStringAcceptsWhatSuitsTheType) {
    const std::vector<Conversion> accepted = {
        {types::uint8, "255", "255"},
        {types::uint8, "0x1F", "31"},
        {types::uint8, "0X1f", "31"},
        {types::uint8, "  42\t", "42"},
        {types::uint16, "65535", "65535"},
        {types::uint64, "18446744073709551615", "18446744073709551615"},
        {types::sint8, "-128", "-128"},
        {types::sint8, "127", "127"},
        {types::sint16, "-0x10", "-16"},
        {types::sint32, "-0", "0"},
        {types::sint64, "-9223372036854775808", "-9223372036854775808"},
        {types::boolean, "TRUE", "True"},
        {types::boolean, "False", "False"},
        {types::boolean, " 1 ", "True"},
        {types::boolean, "0", "False"},
        {types::doubleType, "3.5", "3.5"},
        {types::doubleType, "-1e3", "-1000"},
        {types::doubleType, "+.25", "0.25"},
        {types::uint128, "340282366920938463463374607431768211455",
         "340282366920938463463374607431768211455"},
        {types::uint128, "0x10000000000000000", "18446744073709551616"},
        {types::hexValue, "0x1234", "0x1234"},
        {types::hexValue, "4660", "0x1234"},
        {types::bytePointer, "0A0bFF", "0A0BFF"},
        {types::listUint64, "1, 0x2", "01000000000000000200000000000000"},
        {types::vectorOfStrings, "alpha , beta", "alpha, beta"},
        {types::string, " keeps blanks ", " keeps blanks "},
        {types::string, "", ""},
    };
    for (const auto& row : accepted) {
        Attribute attribute = ofType(row.type);
        EXPECT_TRUE(attribute.fromString(row.text).isSuccess()) << row.type << " '" << row.text << "'";
        EXPECT_EQ(attribute.toDisplayString(), row.shown) << row.type << " '" << row.text << "'";
    }
}

TEST(Attribute, FromStringRefusesWhatDoesNotSuitTheTypeAndKeepsTheOldValue) {
    const std::vector<Conversion> refused = {
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
    for (const auto& row : refused) {
        Attribute attribute = ofType(row.type);
        attribute.setUint8(7);
        const Status status = attribute.fromString(row.text);
        EXPECT_EQ(status, Status::invalidAttributeValue()) << row.type << " '" << row.text << "'";
        EXPECT_EQ(status.message(), "Invalid value type provided for the attribute.");
        EXPECT_EQ(bytesOf(attribute), std::vector<uint8_t>{7}) << row.type << " '" << row.text << "'";
    }
}

TEST(Attribute, FromStringStoresTheTypeWidth) {
    Attribute attribute = ofType(types::uint32);
    ASSERT_TRUE(attribute.fromString("0x11223344").isSuccess());
    EXPECT_EQ(bytesOf(attribute), (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11}));
    attribute = ofType(types::sint16);
    ASSERT_TRUE(attribute.fromString("-2").isSuccess());
    EXPECT_EQ(bytesOf(attribute), (std::vector<uint8_t>{0xFE, 0xFF}));
}

TEST(Attribute, HexToIntParsesHexadecimalAndFlagsAnythingElse) {
    EXPECT_EQ(strings::hexToInt("0x1A"), 26u);
    EXPECT_EQ(strings::hexToInt("ff"), 255u);
    EXPECT_EQ(strings::hexToInt("10"), 16u);
    EXPECT_EQ(strings::hexToInt("0xFFFFFFFFFFFFFFFE"), 0xFFFFFFFFFFFFFFFEull);
    EXPECT_EQ(strings::hexToInt("000000000000000000001"), 1u);

    const uint64_t allOnes = std::numeric_limits<uint64_t>::max();
    for (const std::string bad : {"xyz", "", "0x", "12 34", "-1", "0x1FFFFFFFFFFFFFFFF"}) {
        LogCapture capture;
        EXPECT_EQ(strings::hexToInt(bad), allOnes) << "'" << bad << "'";
        ASSERT_EQ(capture.records().size(), 1u) << "'" << bad << "'";
        EXPECT_EQ(capture.records()[0].rfind("error "), 0u);
        EXPECT_NE(capture.records()[0].find(": ERROR!!! String is not a valid hexadecimal number"),
                  std::string::npos);
    }
}

TEST(AttributeCollection, MissingKeysAndEmptyValuesReadAsNothing) {
    AttributeCollection collection;
    EXPECT_FALSE(collection.readBool("Absent"));
    EXPECT_EQ(collection.readUint8("Absent"), 0);
    EXPECT_EQ(collection.readUint64("Absent"), 0u);
    EXPECT_EQ(collection.readString("Absent"), "");
    EXPECT_FALSE(collection.get("Absent").hasValue());
    EXPECT_FALSE(collection.contains("Absent"));

    collection.set(attributes::namespaceId());
    EXPECT_TRUE(collection.contains("NamespaceId"));
    EXPECT_EQ(collection.readUint32("NamespaceId"), 0u);
}

TEST(AttributeCollection, WritesCarryTheDefinitionAndReplaceEarlierValues) {
    AttributeCollection collection;
    collection.writeString(attributes::serialNumber(), "SN-1");
    collection.writeString(attributes::serialNumber(), "SN-2");
    collection.writeUint32(attributes::namespaceId(), 0xFFFFFFFF);
    collection.writeBool(attributes::kestrovaNVMe(), true);
    collection.writeUint8(attributes::maximumDataTransferSize(), 5);
    collection.writeUint16(attributes::enduranceGroupIdentifier(), 0x1234);
    collection.writeUint64(Attribute("Big", "Big", types::uint64), 1ull << 40);

    EXPECT_EQ(collection.size(), 6u);
    EXPECT_EQ(collection.readString("SerialNumber"), "SN-2");
    EXPECT_EQ(collection.get("SerialNumber").displayName(), "Serial Number");
    EXPECT_EQ(collection.get("SerialNumber").typeName(), types::string);
    EXPECT_EQ(collection.readUint32("NamespaceId"), 0xFFFFFFFFu);
    EXPECT_TRUE(collection.readBool("KestrovaNVMe"));
    EXPECT_EQ(collection.readUint8("MaximumDataTransferSize"), 5);
    EXPECT_EQ(collection.readUint16("EnduranceGroupIdentifier"), 0x1234);
    EXPECT_EQ(collection.readUint64("Big"), 1ull << 40);

    collection.erase("Big");
    EXPECT_FALSE(collection.contains("Big"));
}

TEST(AttributeCollection, SetUnderAnotherKeyKeepsTheAttributeAsGiven) {
    AttributeCollection collection;
    Attribute option("-type", "Type", types::string);
    option.setString("Identify");
    collection.set("-TYPE", option);
    EXPECT_EQ(collection.readString("-TYPE"), "Identify");
    EXPECT_FALSE(collection.contains("-type"));
}

TEST(AttributeDeviceDefinitions, AreDistinctTypedAndEmpty) {
    const auto definitions = attributes::deviceAttributeDefinitions();
    EXPECT_EQ(definitions.size(), 33u);
    std::set<std::string> keys;
    for (const auto& definition : definitions) {
        EXPECT_TRUE(keys.insert(definition.key()).second) << definition.key();
        EXPECT_FALSE(definition.hasValue()) << definition.key();
        EXPECT_FALSE(definition.displayName().empty()) << definition.key();
        // Every definition's type can take a value from text.
        Attribute probe = definition;
        const std::string sample = definition.typeName() == types::string ? "x" : "1";
        EXPECT_TRUE(probe.fromString(sample).isSuccess()) << definition.key();
    }
    const Attribute serial = attributes::serialNumber();
    EXPECT_EQ(serial.key(), "SerialNumber");
    EXPECT_EQ(serial.displayName(), "Serial Number");
    EXPECT_EQ(serial.typeName(), types::string);
}

TEST(AttributeProductTable, FamiliesMatchInAnyCaseButOnlyWhole) {
    EXPECT_TRUE(products::isFamily("VARNHOLT", products::families::varnholt));
    EXPECT_FALSE(products::isFamily("Varnholt Pro", products::families::varnholt));
    ASSERT_NE(products::findFamily("kestrova"), nullptr);
    EXPECT_EQ(products::findFamily("kestrova")->family, products::families::kestrova);
    EXPECT_EQ(products::findFamily("Unknown"), nullptr);

    const auto& first = products::productTable().front();
    ASSERT_NE(products::findModel(first.model + "    "), nullptr);
    EXPECT_EQ(products::findModel(first.model + "    ")->family, first.family);
    EXPECT_EQ(products::findModel("not a model"), nullptr);
}
