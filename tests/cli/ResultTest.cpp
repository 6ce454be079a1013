#include <gtest/gtest.h>

#include "plugins/plugin.cliframework/SimpleNumericResult.h"
#include "plugins/plugin.cliframework/StatusResult.h"
#include "plugins/plugin.cliframework/SyntaxStatusResult.h"

using namespace plugin::cli;

namespace {
const std::string header = "<?xml version=\"1.0\" standalone=\"yes\" ?>\n";
}

TEST(SimpleResult, TextIndentsAndEndsWithALineFeed) {
    SimpleResult result("Serial Number", "S1");
    EXPECT_EQ(result.toText(0), "Serial Number: S1\n");
    EXPECT_EQ(result.toText(2), "    Serial Number: S1\n");
}

TEST(SimpleResult, CsvStaysOnOneLineAndDoesNotQuote) {
    SimpleResult result("Serial Number", "one\ntwo, three\n");
    EXPECT_EQ(result.toCsv(), "Serial Number,one two, three \n");
}

TEST(SimpleResult, XmlHeaderOnlyAtTheOuterLevelAndTagMadeSafe) {
    SimpleResult result("Serial Number: a/b", "S1");
    EXPECT_EQ(result.toXml(0), header + "<Serial_Number-_a-b>S1</Serial_Number-_a-b>\n");
    EXPECT_EQ(result.toXml(1), "  <Serial_Number-_a-b>S1</Serial_Number-_a-b>\n");
}

TEST(SimpleResult, XmlValueKeepsMarkupCharactersFromBreakingTheDocument) {
    SimpleResult result("Property", "Invalid property specified: <a&b>");
    EXPECT_EQ(result.toXml(1), "  <Property>Invalid property specified: &lt;a&amp;b&gt;</Property>\n");
    EXPECT_EQ(SimpleResult("Q", "it's \"x\"").toXml(1), "  <Q>it's \"x\"</Q>\n");
}

TEST(SimpleResult, JsonIsOneKeyedStringWithTheNameUnchanged) {
    SimpleResult result("Serial Number", "A\"1");
    EXPECT_EQ(result.toJson(0), "\"Serial Number\": \"A\\\"1\"");
    EXPECT_EQ(result.toJson(1), "  \"Serial Number\": \"A\\\"1\"");
}

TEST(SimpleNumericResult, JsonWritesTheValueAsANumber) {
    EXPECT_EQ(SimpleNumericResult("N", "0x1F").toJson(0), "\"N\": 31");
    EXPECT_EQ(SimpleNumericResult("N", "0X1f").toJson(0), "\"N\": 31");
    EXPECT_EQ(SimpleNumericResult("N", "1f").toJson(0), "\"N\": 31");
    EXPECT_EQ(SimpleNumericResult("N", "10").toJson(0), "\"N\": 10");
    EXPECT_EQ(SimpleNumericResult("N", "-12 MB").toJson(0), "\"N\": -12");
    EXPECT_EQ(SimpleNumericResult("N", "none").toJson(0), "\"N\": 0");
    EXPECT_EQ(SimpleNumericResult("N", "0x").toJson(0), "\"N\": 0");
    // Too large for the number: saturates instead of failing.
    EXPECT_EQ(SimpleNumericResult("N", "99999999999999999999").toJson(0),
              "\"N\": 9223372036854775807");
    EXPECT_EQ(SimpleNumericResult("N", "0xFFFFFFFFFFFFFFFF").toJson(0), "\"N\": 9223372036854775807");
}

TEST(SimpleNumericResult, OtherFormatsKeepTheTextAsGiven) {
    SimpleNumericResult result("Type", "0x1F");
    EXPECT_EQ(result.toText(0), "Type: 0x1F\n");
    EXPECT_EQ(result.toCsv(), "Type,0x1F\n");
    EXPECT_EQ(result.toXml(1), "  <Type>0x1F</Type>\n");
}

TEST(StatusResult, JsonIsTheFourLineResultObject) {
    StatusResult result("Completed successfully.", 0);
    EXPECT_EQ(result.toJson(0),
              "\"Result\": {\n"
              "  \"Description\": \"Completed successfully.\",\n"
              "  \"Type\": 0\n"
              "}");
    EXPECT_EQ(StatusResult("Bad", 201).toJson(1),
              "  \"Result\": {\n"
              "    \"Description\": \"Bad\",\n"
              "    \"Type\": 201\n"
              "  }");
}

TEST(StatusResult, TextIsOneResultLine) {
    EXPECT_EQ(StatusResult("Completed successfully.", 0).toText(0), "Result: Completed successfully.\n");
}

TEST(StatusResult, CsvHasTheResultLineThenDescriptionAndType) {
    StatusResult result("Log type not found: x\nNot implemented.", 2);
    EXPECT_EQ(result.toCsv(), "Result\nDescription,Log type not found: x Not implemented.\nType,2\n");
}

TEST(StatusResult, XmlNestsDescriptionAndTypeWithOneHeader) {
    StatusResult result("Not implemented.", 2);
    const std::string body =
        "<Result>\n"
        "  <Description>Not implemented.</Description>\n"
        "  <Type>2</Type>\n"
        "</Result>\n";
    EXPECT_EQ(result.toXml(0), header + body);
    EXPECT_EQ(result.toXml(1),
              "  <Result>\n"
              "    <Description>Not implemented.</Description>\n"
              "    <Type>2</Type>\n"
              "  </Result>\n");
}

TEST(SyntaxStatusResult, IsAStatusResultOfType201WithoutSpecs) {
    SyntaxStatusResult result("Options 'all' and 'display' cannot be used together.");
    EXPECT_EQ(result.type(), 201);
    EXPECT_EQ(result.name(), "Result");
    EXPECT_TRUE(result.specs().empty());
    EXPECT_EQ(result.toCsv(),
              "Result\nDescription,Options 'all' and 'display' cannot be used together.\nType,201\n");
}
