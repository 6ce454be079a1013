#include <gtest/gtest.h>

#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"

using drivekit::core::Status;

TEST(Status, EqualityIgnoresTheMessageAndOnlyCategoryZeroCodeZeroIsSuccess) {
    EXPECT_EQ(Status(10, 34, "one"), Status(10, 34, "another"));
    EXPECT_NE(Status(10, 34, "one"), Status(0, 34, "one"));
    EXPECT_TRUE(Status().isSuccess());
    EXPECT_FALSE(Status(10, 0, "x").isSuccess());
    EXPECT_FALSE(Status::notRun().isSuccess());
}

TEST(Status, TextFormHasThreeLinesWithoutTrailingLineFeed) {
    EXPECT_EQ(Status().toString(), "Category: 0\nCode: 0\nMessage: Completed successfully.");
}

TEST(Status, CustomStatusKeepsItsNumbersAfterSetMessage) {
    Status custom = Status::custom();
    custom.setMessage("Drive went away");
    EXPECT_EQ(custom.category(), 65535u);
    EXPECT_EQ(custom.code(), 65535u);
    EXPECT_EQ(custom.message(), "Drive went away");
}

TEST(Status, NoDeviceSelectedIsTheFirstRegisteredStatus) {
    for (int i = 0; i < 3; ++i) {
        const Status status = Status::noDeviceSelected();
        EXPECT_EQ(status.category(), 100u);
        EXPECT_EQ(status.code(), 1u);
        EXPECT_EQ(status.message(), "No device selected.");
    }
}

TEST(Status, XmlFormHoldsCategoryCodeAndMessageInOrder) {
    const auto xml = Status(10, 194, "Failed to create directory.").toXmlObject();
    EXPECT_EQ(xml->serialize(),
              "<Object category=\"status\"><Property name=\"Category\" value=\"10\"/>"
              "<Property name=\"Code\" value=\"194\"/>"
              "<Property name=\"Message\" value=\"Failed to create directory.\"/></Object>");
}
