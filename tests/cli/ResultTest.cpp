#include <gtest/gtest.h>

#include "plugins/plugin.cliframework/SimpleNumericResult.h"
#include "plugins/plugin.cliframework/StatusResult.h"

using namespace plugin::cli;

namespace {
const std::string header = "<?xml version=\"1.0\" standalone=\"yes\" ?>\n";
}  // namespace

TEST(SimpleResult, EachFormatKeepsItsOwnRules) {
    // Text indents two blanks a level; CSV stays on one line, unquoted.
    EXPECT_EQ(SimpleResult("Serial Number", "S1").toText(2), "    Serial Number: S1\n");
    EXPECT_EQ(SimpleResult("Serial Number", "one\ntwo, three\n").toCsv(), "Serial Number,one two, three \n");
    // The XML header only at level 0, a safe tag, and the content escaped as element text (the
    // XML writer's test has every character).
    EXPECT_EQ(SimpleResult("Serial Number: a/b", "S1").toXml(0),
              header + "<Serial_Number-_a-b>S1</Serial_Number-_a-b>\n");
    EXPECT_EQ(SimpleResult("Property", "Invalid property specified: <a&b>").toXml(1),
              "  <Property>Invalid property specified: &lt;a&amp;b&gt;</Property>\n");
    EXPECT_EQ(SimpleResult("Serial Number", "A\"1").toJson(1), "  \"Serial Number\": \"A\\\"1\"");
}

// The other formats write the value as given; CSV and XML are checked with the status result.
TEST(SimpleNumericResult, JsonWritesTheValueAsANumberOtherFormatsAsGiven) {
    const std::vector<std::pair<std::string, std::string>> numbers{
        {"0x1F", "31"}, {"0X1f", "31"}, {"1f", "31"}, {"10", "10"}, {"-12 MB", "-12"}, {"none", "0"}, {"0x", "0"},
        // Too large for the number: saturates instead of failing.
        {"99999999999999999999", "9223372036854775807"}, {"0xFFFFFFFFFFFFFFFF", "9223372036854775807"}};
    for (const auto& [text, number] : numbers) {
        EXPECT_EQ(SimpleNumericResult("N", text).toJson(0), "\"N\": " + number) << text;
    }
    EXPECT_EQ(SimpleNumericResult("Type", "0x1F").toText(0), "Type: 0x1F\n");
}

// Text, JSON and the top-level XML are shown end to end and by the result printer.
TEST(StatusResult, EachFormatHoldsDescriptionAndType) {
    EXPECT_EQ(StatusResult("Bad", 201).toJson(1),
              "  \"Result\": {\n    \"Description\": \"Bad\",\n    \"Type\": 201\n  }");
    EXPECT_EQ(StatusResult("Log type not found: x\nNot implemented.", 2).toCsv(),
              "Result\nDescription,Log type not found: x Not implemented.\nType,2\n");
    EXPECT_EQ(StatusResult("Not implemented.", 2).toXml(1),
              "  <Result>\n    <Description>Not implemented.</Description>\n    <Type>2</Type>\n  </Result>\n");
}
