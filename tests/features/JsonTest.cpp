#include <gtest/gtest.h>

#include "drivekit/features/Json.h"

using drivekit::features::Json;

TEST(Json, EscapesQuotesBackslashesAndControlBytesButKeepsHighBytes) {
    EXPECT_EQ(Json::escape("a\"b\\c"), "a\\\"b\\\\c");
    EXPECT_EQ(Json::escape("\b\t\n\f\r"), "\\b\\t\\n\\f\\r");
    EXPECT_EQ(Json::escape(std::string("\x01\x1f", 2)), "\\u0001\\u001f");
    EXPECT_EQ(Json::escape(std::string(1, '\0')), "\\u0000");
    EXPECT_EQ(Json::escape("caf\xc3\xa9 \x7f"), "caf\xc3\xa9 \x7f");
}

// An empty object or array puts its closing bracket on a line of its own.
TEST(Json, NestedMembersIndentTwoSpacesPerLevelWithCommasBetween) {
    EXPECT_EQ(Json().toString(0), "{\n}");
    Json empty("list");
    empty.setType(Json::array);
    EXPECT_EQ(empty.toString(1), "  \"list\": [\n  ]");
    Json root;
    root["Name"].setString("drive \"A\"");
    root["Count"].setUnsigned(18446744073709551615ULL);
    root["Offset"].setSigned(-5);
    root["Ratio"].setDouble(2.0 / 3.0);
    Json& list = root["List"];
    list.setType(Json::array);
    list.append(Json::makeString("", "x"));
    list.append(Json::makeSigned("", 7));
    EXPECT_EQ(root.toString(0),
              "{\n"
              "  \"Name\": \"drive \\\"A\\\"\",\n"
              "  \"Count\": 18446744073709551615,\n"
              "  \"Offset\": -5,\n"
              "  \"Ratio\": 0.666667,\n"
              "  \"List\": [\n"
              "    \"x\",\n"
              "    7\n"
              "  ]\n"
              "}");
}

TEST(Json, GetOrAddReturnsTheExistingChildAndANodeWithChildrenIsAnObject) {
    Json root;
    root["a"].setSigned(1);
    root["A"].setSigned(2);
    root["a"].setSigned(3);
    ASSERT_EQ(root.children().size(), 2u);
    EXPECT_EQ(root.children()[0]->signedValue(), 3);
    EXPECT_EQ(root.children()[1]->signedValue(), 2);

    Json node("n");
    node.setSigned(4);
    EXPECT_FALSE(node.hasMembers());
    EXPECT_EQ(node.toString(0), "\"n\": 4");
    node["c"].setString("v");
    EXPECT_TRUE(node.hasMembers());
    EXPECT_EQ(node.toString(0), "\"n\": {\n  \"c\": \"v\"\n}");
}
