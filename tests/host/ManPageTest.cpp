// What roff would take for a request or an escape in a help text is made plain text.
#include <gtest/gtest.h>

#include "host/docs/ManPage.h"

namespace {

TEST(ManPageTest, EscapeLeavesNoRequestEscapeOrHyphenToRoff) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"-type <all|list>", "\\-type <all|list>"},
        {"--sim-trace=FILE", "\\-\\-sim\\-trace=FILE"},
        {"C:\\logs", "C:\\elogs"},
        {".TH looks like a request", "\\&.TH looks like a request"},
        {"'so does this\n.and this. Not here.", "\\&'so does this\n\\&.and this. Not here."},
    };
    for (const auto& [text, escaped] : cases) {
        EXPECT_EQ(escaped, host::docs::ManPage::escape(text)) << text;
    }
}

}  // namespace
