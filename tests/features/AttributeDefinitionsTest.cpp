#include <gtest/gtest.h>

#include <set>
#include <string>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/features/AttributeDefinitions.h"

using drivekit::core::Attribute;

// The device's and the commands' definitions; the two dword counts (of Get Log Page and of the
// features) share their key on purpose.
TEST(AttributeDefinitions, KeysAreDistinctDefinitionsEmptyAndEachTakesAValueFromTheCommandLine) {
    for (const auto& table : {drivekit::core::attributes::deviceAttributeDefinitions(),
                              drivekit::features::definitions::logAndFeatureDefinitions()}) {
        std::set<std::string> keys;
        for (const auto& attribute : table) {
            SCOPED_TRACE(attribute.key());
            EXPECT_TRUE(keys.insert(attribute.key()).second || attribute.key() == "NumDWORDs");
            EXPECT_FALSE(attribute.hasValue() || attribute.displayName().empty());
            Attribute probe = attribute;
            EXPECT_TRUE(probe.fromString("1").isSuccess());
        }
    }
}
