#include <gtest/gtest.h>

#include <functional>

#include "plugins/plugin.cliframework/SimpleNumericResult.h"
#include "plugins/plugin.cliframework/StatusResult.h"

using namespace plugin::cli;

namespace {

const std::string header = "<?xml version=\"1.0\" standalone=\"yes\" ?>\n";

struct Rendering {
    std::string what;
    std::function<std::string()> render;
    std::string expected;
};

void expectRenderings(const std::vector<Rendering>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(c.render(), c.expected) << c.what;
    }
}

}  // namespace

TEST(SimpleResult, EachFormatKeepsItsOwnRules) {
    const SimpleResult serial("Serial Number", "S1");
    const SimpleResult lines("Serial Number", "one\ntwo, three\n");
    const SimpleResult markup("Property", "Invalid property specified: <a&b>");
    expectRenderings({
        {"text indents two blanks a level", [&] { return serial.toText(2); }, "    Serial Number: S1\n"},
        {"csv stays on one line, unquoted", [&] { return lines.toCsv(); }, "Serial Number,one two, three \n"},
        {"xml header only at level 0, safe tag", [&] { return SimpleResult("Serial Number: a/b", "S1").toXml(0); },
         header + "<Serial_Number-_a-b>S1</Serial_Number-_a-b>\n"},
        // Content is escaped as element text; the XML writer's test has every character.
        {"xml content escaped", [&] { return markup.toXml(1); },
         "  <Property>Invalid property specified: &lt;a&amp;b&gt;</Property>\n"},
        {"json keeps the name", [&] { return SimpleResult("Serial Number", "A\"1").toJson(1); },
         "  \"Serial Number\": \"A\\\"1\""},
    });
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
    const StatusResult failed("Log type not found: x\nNot implemented.", 2);
    expectRenderings({
        {"nested json", [&] { return StatusResult("Bad", 201).toJson(1); },
         "  \"Result\": {\n    \"Description\": \"Bad\",\n    \"Type\": 201\n  }"},
        {"csv on one line each", [&] { return failed.toCsv(); },
         "Result\nDescription,Log type not found: x Not implemented.\nType,2\n"},
        {"nested xml", [&] { return StatusResult("Not implemented.", 2).toXml(1); },
         "  <Result>\n    <Description>Not implemented.</Description>\n    <Type>2</Type>\n  </Result>\n"},
    });
}
