// The telemetry collector's choice of data area from the command's option and the drive's
// storage driver, and its progress line.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "plugins/plugin.debug_logs/debug_logs_common/ProgressLine.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Telemetry.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"

using namespace debug_logs_test;
namespace attributes = drivekit::core::attributes;

TEST(TelemetryCollector, TheDataAreaFollowsTheOptionUnlessAMicrosoftDriverIsTooOld) {
    struct Case {
        bool extended;
        const char* provider;
        const char* version;
        uint32_t area;
        const char* line;  // printed with verbosity, besides the data area
    };
    const Case cases[] = {
        {false, "Microsoft", "10.0.26100.1000", 3, ""},
        {true, "MICROSOFT", "10.0.26100.1881", 3,
         "Microsoft Driver Build Number (1881) does not support Telemetry DataArea 4\n"},
        {true, "Microsoft", "10.0.26100.1000 (WinBuild)", 3,
         "Microsoft Driver Build Number (1000) does not support Telemetry DataArea 4\n"},
        // The build is shown as the number it is taken for, without its leading zero.
        {true, "Microsoft", "10.0.26100.01881", 3,
         "Microsoft Driver Build Number (1881) does not support Telemetry DataArea 4\n"},
        {true, "microsoft", "10.0.26100.1882", 4, ""},
        {true, "Microsoft", "10.0.22631.1000", 4, ""},
        {true, "Linux", "10.0.26100.1000", 4, ""},
        // A build number no integer holds is newer than any threshold, not an error.
        {true, "Microsoft", "10.0.26100.99999999999999999999999", 4, ""},
    };
    Verbosity verbosity(1);
    for (const Case& c : cases) {
        test_support::FakeDrive drive;
        drive.attributes.writeString(attributes::driverProvider(), c.provider);
        drive.attributes.writeString(attributes::driverVersion(), c.version);
        ConsoleCapture console;
        EXPECT_EQ(c.area, dl::Telemetry::chooseDataArea(drive, c.extended)) << c.version;
        EXPECT_EQ(std::string(c.line) + "Telemetry Data Area = " + std::to_string(c.area) + "\n", console.text())
            << c.version;
    }
}

TEST(TelemetryCollector, TheProgressLineIsDrawnOnlyForLargeLogsOnATerminalAndClearedAfterwards) {
    constexpr uint64_t large = dl::ProgressLine::smallestShownBytes;
    EXPECT_EQ("Telemetry x: 4.0 of 8.0 MiB (2.0 MiB/s)", dl::ProgressLine::text("Telemetry x", large / 2, large, 2.0));
    for (const bool terminal : {false, true}) {
        std::ostringstream out;
        {
            dl::ProgressLine line("T", terminal, out);
            const auto report = line.callback();
            report(100, large - 1);  // a small log draws nothing
            EXPECT_EQ("", out.str());
            report(large / 2, large);
            report(large / 2 + 1, large);  // within the redraw interval: not drawn again
            report(large, large);          // the end is always drawn
        }
        const std::string text = out.str();
        if (!terminal) {
            EXPECT_EQ("", text);
            continue;
        }
        // Two draws, then the clearing (a return before and after the spaces).
        EXPECT_EQ(4, std::count(text.begin(), text.end(), '\r')) << text;
        EXPECT_NE(std::string::npos, text.find("T: 4.0 of 8.0 MiB")) << text;
        EXPECT_NE(std::string::npos, text.find("T: 8.0 of 8.0 MiB")) << text;
        EXPECT_EQ('\r', text.back());
    }
}
