#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "drivekit/core/Payload.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/core/logging/boost/PluginLogging.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TextFiles.h"

namespace logging = drivekit::core::logging;

namespace {

class Logging : public testing::Test {
protected:
    void TearDown() override { logging::initializeLogger(false, ""); }

    std::string path(const std::string& name) const { return (folder_.path() / name).string(); }
    static std::vector<std::string> lines(const std::string& file) {
        return test_support::lines(test_support::readFile(file));
    }

    const test_support::ScratchFolder folder_;
};

// "HH:MM:SS:ffffff [severity] LoggingTest.cpp(line) TestBody: text"
bool isRecord(const std::string& line, const std::string& severity, const std::string& text) {
    const std::regex format(R"(\d\d:\d\d:\d\d:\d{6} \[)" + severity +
                            R"(\] LoggingTest\.cpp\(\d+\) TestBody: )" + text);
    return std::regex_match(line, format);
}

}  // namespace

TEST_F(Logging, EveryRecordIsOneLineWithTimeSeverityAndSourceAndTheLibrarysFatalOnesReachStandardErrorToo) {
    const std::string file = path("format.log");
    ASSERT_TRUE(logging::initializeLogger(true, file));
    testing::internal::CaptureStderr();
    LOG_TRACE("trace text");
    LOG_DEBUG("debug " << 42);
    LOG_INFO("info text");
    LOG_WARNING("warning text");
    LOG_ERROR("error text");
    LOG_FATAL("fatal text");
    LOG_ENTERING();
    // The library's own records, a failed copy's here, are written the same way; its fatal ones
    // also go to standard error.
    uint8_t destination[8] = {};
    const uint8_t source[10] = {};
    drivekit::core::memory::memCopy(destination, sizeof destination, source, sizeof source);
    const std::string errors = testing::internal::GetCapturedStderr();

    const std::string copy = "Invalid call to memCopy: source size (10) is greater than destination size (8)";
    EXPECT_EQ(errors, "[fatal] " + copy + "\n");
    const std::vector<std::pair<std::string, std::string>> expected{
        {"trace", "trace text"}, {"debug", "debug 42"}, {"info", "info text"}, {"warning", "warning text"},
        {"error", "error text"}, {"fatal", "fatal text"}, {"debug", "Entering"}};
    const auto written = lines(file);
    ASSERT_EQ(written.size(), expected.size() + 1);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(isRecord(written[i], expected[i].first, expected[i].second)) << written[i];
    }
    const std::regex format(R"(\d\d:\d\d:\d\d:\d{6} \[fatal\] Payload\.cpp\(\d+\) memCopy: )" +
                            std::regex_replace(copy, std::regex(R"([()])"), R"(\$&)"));
    EXPECT_TRUE(std::regex_match(written.back(), format)) << written.back();
    // Only the file name and the unqualified function are kept, from a Windows path too.
    EXPECT_EQ(logging::formatMessage("C:\\src\\Payload.cpp", 3, "drivekit::core::createBuffer", "t"),
              "Payload.cpp(3) createBuffer: t");
}

// Enabled, records append after what is there; re-pointed, later records move; a file that
// cannot be opened is reported; disabled, nothing is written, fatal records neither.
TEST_F(Logging, EnablingAppendsRePointingMovesRecordsDisabledWritesNothingAndABadFileIsReported) {
    const std::string file = path("append.log");
    const std::string second = path("second.log");
    std::ofstream(file) << "earlier text\n";
    logging::initializeLogger(true, file);
    LOG_INFO("first");
    logging::initializeLogger(true, file);
    LOG_INFO("again");
    logging::initializeLogger(true, second);
    LOG_INFO("to second");
    EXPECT_EQ(logging::currentLogFilePath(), second);
    // A file that cannot be opened is reported, and later files still work.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(logging::initializeLogger(true, path("no-such-folder/x.log")));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Unable to open the log file"), std::string::npos);
    EXPECT_TRUE(logging::initializeLogger(true, file));
    LOG_WARNING("recovered");
    EXPECT_FALSE(logging::initializeLogger(false, file));
    EXPECT_FALSE(logging::isEnabled());
    LOG_FATAL("after off");

    const auto written = lines(file);
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0], "earlier text");
    EXPECT_TRUE(isRecord(written[1], "info", "first")) << written[1];
    EXPECT_TRUE(isRecord(written[2], "info", "again")) << written[2];
    EXPECT_TRUE(isRecord(written[3], "warning", "recovered")) << written[3];
    const auto inSecond = lines(second);
    ASSERT_EQ(inSecond.size(), 1u);
    EXPECT_TRUE(isRecord(inSecond[0], "info", "to second")) << inSecond[0];
}
