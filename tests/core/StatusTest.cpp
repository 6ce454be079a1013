#include <gtest/gtest.h>

#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"

using drivekit::core::Status;

TEST(Status, EqualityIgnoresTheMessageOnlyZeroZeroIsSuccessAndBothFormsHoldAllThree) {
    EXPECT_EQ(Status(10, 34, "one"), Status(10, 34, "another"));
    EXPECT_NE(Status(10, 34, "one"), Status(0, 34, "one"));
    EXPECT_TRUE(Status().isSuccess());
    EXPECT_FALSE(Status(10, 0, "x").isSuccess());
    EXPECT_FALSE(Status::notRun().isSuccess());
    // A registered status keeps its number however often it is asked for.
    EXPECT_EQ(Status::noDeviceSelected(), Status::noDeviceSelected());

    // The text form has three lines and no line feed after them; the XML form the same in order.
    EXPECT_EQ(Status().toString(), "Category: 0\nCode: 0\nMessage: Completed successfully.");
    EXPECT_EQ(Status(10, 194, "Failed to create directory.").toXmlObject()->serialize(),
              "<Object category=\"status\"><Property name=\"Category\" value=\"10\"/>"
              "<Property name=\"Code\" value=\"194\"/>"
              "<Property name=\"Message\" value=\"Failed to create directory.\"/></Object>");
}
