#include <gtest/gtest.h>

#include "tests/debug_logs/DebugLogsTestSupport.h"

using namespace debug_logs_test;

namespace {
std::string repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}
}  // namespace

TEST(Banner, ShortTextsAreFramedToAtLeast110Characters) {
    EXPECT_EQ(dl::bannerText("SUMMARY"), repeat("- ", 26) + "SUMMARY" + repeat(" -", 26));
    EXPECT_EQ(dl::bannerText("SUMMARY").size(), 111u);
    EXPECT_EQ(dl::bannerText("ADD SYSTEM/PRODUCT INFO LOGS"),
              repeat("- ", 21) + "ADD SYSTEM/PRODUCT INFO LOGS" + repeat(" -", 20));
    EXPECT_EQ(dl::bannerText("ADD SYSTEM/PRODUCT INFO LOGS").size(), 110u);
}

TEST(Banner, LongTextsKeepTheirLengthOrGainOnlyAFront) {
    const std::string exact(110, 'x');
    EXPECT_EQ(dl::bannerText(exact), exact);
    const std::string longer(140, 'y');
    EXPECT_EQ(dl::bannerText(longer), longer);
    const std::string almost(109, 'z');
    EXPECT_EQ(dl::bannerText(almost), "- " + almost);
    EXPECT_EQ(dl::bannerText(""), repeat("- ", 28) + repeat(" -", 27));
}

TEST(PrintRule, VerboseOnlyTextsNeedVerbosityOne) {
    {
        Verbosity quiet(0);
        ConsoleCapture console;
        dl::printMessage("detail", true);
        dl::printMessage("always");
        EXPECT_EQ(console.text(), "always\n");
    }
    {
        Verbosity verbose(1);
        ConsoleCapture console;
        dl::printMessage("detail", true);
        dl::printMessage("SUMMARY", true, true);
        EXPECT_EQ(console.text(), "detail\n" + dl::bannerText("SUMMARY") + "\n");
    }
}
