#include <gtest/gtest.h>

#include <set>
#include <string>

#include "drivekit/features/AttributeDefinitions.h"

namespace definitions = drivekit::features::definitions;
using drivekit::core::Attribute;

TEST(AttributeDefinitions, SmartHealthListHoldsEverySensorOnceAfterTemperature) {
    const auto list = definitions::smartHealthDefinitions();
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

// The two dword counts (of Get Log Page and of the features) share their key on purpose.
TEST(AttributeDefinitions, LogAndFeatureKeysAreDistinctAndEachTakesAValueFromTheCommandLine) {
    std::set<std::string> keys;
    for (const auto& attribute : definitions::logAndFeatureDefinitions()) {
        EXPECT_TRUE(keys.insert(attribute.key()).second || attribute.key() == "NumDWORDs") << attribute.key();
        Attribute probe = attribute;
        EXPECT_TRUE(probe.fromString("1").isSuccess()) << attribute.key();
    }
}

TEST(AttributeDefinitions, SmartCountersAreShownAsHexadecimalNumbers) {
    Attribute counter = definitions::dataUnitsRead();
    ASSERT_TRUE(counter.fromString("0x1F4").isSuccess());
    EXPECT_EQ(counter.toDisplayString(), "0x1F4");
    EXPECT_EQ(counter.value().size(), 16u);
}
