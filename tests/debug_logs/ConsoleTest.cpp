#include <gtest/gtest.h>

#include "tests/debug_logs/DebugLogsTestSupport.h"

using namespace debug_logs_test;

TEST(Banner, TextsAreFramedToAtLeast110Characters) {
    const auto dashes = [](const std::string& piece, int times) {
        std::string text;
        for (int i = 0; i < times; ++i) {
            text += piece;
        }
        return text;
    };
    const std::string exact(110, 'x'), longer(140, 'y'), almost(109, 'z');
    const std::vector<std::pair<std::string, std::string>> cases{
        {"SUMMARY", dashes("- ", 26) + "SUMMARY" + dashes(" -", 26)},
        {"ADD SYSTEM/PRODUCT INFO LOGS", dashes("- ", 21) + "ADD SYSTEM/PRODUCT INFO LOGS" + dashes(" -", 20)},
        {"", dashes("- ", 28) + dashes(" -", 27)},
        {exact, exact},
        {longer, longer},
        {almost, "- " + almost},
    };
    for (const auto& [text, banner] : cases) {
        EXPECT_EQ(dl::bannerText(text), banner) << text.size();
    }
}
