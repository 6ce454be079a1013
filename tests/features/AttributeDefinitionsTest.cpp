#include <gtest/gtest.h>

#include <set>
#include <string>

#include "drivekit/features/AttributeDefinitions.h"

namespace definitions = drivekit::features::definitions;
namespace types = drivekit::core::types;
using drivekit::core::Attribute;

namespace {
void expectDefinition(const Attribute& attribute, const std::string& key, const std::string& name,
                      const std::string& type, const std::string& unit = {}) {
    EXPECT_EQ(attribute.key(), key);
    EXPECT_EQ(attribute.displayName(), name);
    EXPECT_EQ(attribute.typeName(), type) << key;
    EXPECT_EQ(attribute.unit(), unit) << key;
    EXPECT_FALSE(attribute.hasValue()) << key;
}
}  // namespace

TEST(AttributeDefinitions, NumDwordsIsWiderForLogPagesThanForFeatures) {
    expectDefinition(definitions::numDwords(), "NumDWORDs", "NumDWORDs", types::uint32);
    expectDefinition(definitions::featureNumDwords(), "NumDWORDs", "NumDWORDs", types::uint16);
}

TEST(AttributeDefinitions, TemperatureCarriesItsUnitAndSensorsAreNumbered) {
    expectDefinition(definitions::temperature(), "Temperature", "Temperature", types::uint16, "Celsius");
    expectDefinition(definitions::temperatureSensor(1), "TemperatureSensor1", "Temperature Sensor 1",
                     types::uint16);
    expectDefinition(definitions::temperatureSensor(8), "TemperatureSensor8", "Temperature Sensor 8",
                     types::uint16);
}

TEST(AttributeDefinitions, SmartHealthListHoldsEverySensorOnceAfterTemperature) {
    const auto list = definitions::smartHealthDefinitions();
    EXPECT_EQ(list.size(), 33u);
    std::set<std::string> keys;
    std::size_t temperatureAt = list.size();
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_TRUE(keys.insert(list[i].key()).second) << list[i].key();
        if (list[i].key() == "Temperature") {
            temperatureAt = i;
        }
    }
    ASSERT_LT(temperatureAt + definitions::temperatureSensorCount, list.size());
    for (unsigned n = 1; n <= definitions::temperatureSensorCount; ++n) {
        EXPECT_EQ(list[temperatureAt + n].key(), "TemperatureSensor" + std::to_string(n));
    }
}

TEST(AttributeDefinitions, LogAndFeatureKeysAreDistinctApartFromTheTwoDwordCounts) {
    const auto list = definitions::logAndFeatureDefinitions();
    EXPECT_EQ(list.size(), 25u);
    std::multiset<std::string> keys;
    for (const auto& attribute : list) {
        keys.insert(attribute.key());
        // Every definition takes a value from the command line.
        Attribute probe = attribute;
        EXPECT_TRUE(probe.fromString("1").isSuccess()) << attribute.key();
    }
    EXPECT_EQ(keys.count("NumDWORDs"), 2u);
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), list.size() - 1);
}

TEST(AttributeDefinitions, SmartCountersAreShownAsHexadecimalNumbers) {
    Attribute counter = definitions::dataUnitsRead();
    ASSERT_TRUE(counter.fromString("0x1F4").isSuccess());
    EXPECT_EQ(counter.toDisplayString(), "0x1F4");
    EXPECT_EQ(counter.value().size(), 16u);
    expectDefinition(definitions::logSpecificId(), "LogSpecificId", "Log Specific Identifier (LSI)",
                     types::uint16);
    expectDefinition(definitions::namespaceId(), "NamespaceId", "NamespaceId", types::uint32);
}
