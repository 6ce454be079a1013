#include <gtest/gtest.h>

#include <set>
#include <string>

#include "drivekit/features/AttributeDefinitions.h"

namespace definitions = drivekit::features::definitions;
using drivekit::core::Attribute;

// The two dword counts (of Get Log Page and of the features) share their key on purpose.
TEST(AttributeDefinitions, LogAndFeatureKeysAreDistinctAndEachTakesAValueFromTheCommandLine) {
    std::set<std::string> keys;
    for (const auto& attribute : definitions::logAndFeatureDefinitions()) {
        EXPECT_TRUE(keys.insert(attribute.key()).second || attribute.key() == "NumDWORDs") << attribute.key();
        Attribute probe = attribute;
        EXPECT_TRUE(probe.fromString("1").isSuccess()) << attribute.key();
    }
}
