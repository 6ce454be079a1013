#include <gtest/gtest.h>

#include "drivekit/features/Json.h"
#include "drivekit/features/decode/JsonMembers.h"

using drivekit::features::Json;
using drivekit::features::decode::JsonMembers;

TEST(Json, EscapesQuotesBackslashesAndControlBytesButKeepsHighBytes) {
    EXPECT_EQ(Json::escape("a\"b\\c"), "a\\\"b\\\\c");
    EXPECT_EQ(Json::escape("\b\t\n\f\r"), "\\b\\t\\n\\f\\r");
    EXPECT_EQ(Json::escape(std::string("\x01\x1f", 2)), "\\u0001\\u001f");
    EXPECT_EQ(Json::escape(std::string(1, '\0')), "\\u0000");
    EXPECT_EQ(Json::escape("caf\xc3\xa9 \x7f"), "caf\xc3\xa9 \x7f");
}

// The decode sinks ask, eight bytes at a time, whether a text can be copied without escapes:
// every byte value at every place of a word and of the tail, among plain and high bytes.
TEST(Json, PlainTextTestFindsEveryByteThatNeedsAnEscape) {
    for (const std::size_t length : {5, 8, 19}) {
        for (const char filler : {'a', '\x7f', '\xe9'}) {
            for (std::size_t at = 0; at < length; ++at) {
                for (int value = 0; value < 256; ++value) {
                    std::string text(length, filler);
                    text[at] = static_cast<char>(value);
                    const bool plain = value >= 0x20 && value != '"' && value != '\\';
                    ASSERT_EQ(JsonMembers::plain(text), plain) << "byte " << value << " at " << at << " of " << length;
                    EXPECT_EQ(plain, Json::escape(text) == text);
                }
            }
        }
    }
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
