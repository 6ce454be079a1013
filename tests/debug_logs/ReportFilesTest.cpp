#include <gtest/gtest.h>

#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FolderName.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SaveLogToFile.h"
#include "plugins/plugin.debug_logs/debug_logs_common/VersionFile.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"

using namespace debug_logs_test;
using drivekit::core::Payload;
using drivekit::core::Status;

TEST(SaveLogToFile, KeepsEveryByteAndSaysSoOrLeavesAnEmptyFileAndAnErrorLineWithoutData) {
    ScratchFolder scratch;
    const std::string path = (scratch.path() / "smart.bin").string();
    const std::string empty = (scratch.path() / "thresholds.bin").string();
    const std::string blocked = (scratch.path() / "a-folder.bin").string();
    std::ofstream(empty) << "old content";
    fs::create_directories(blocked);
    Verbosity verbose(1);
    ConsoleCapture console;
    const char bytes[] = {'\0', '\n', '\r', '\x1a', '\xff'};
    EXPECT_TRUE(dl::utils::SaveLogToFile(path, Payload(bytes, sizeof(bytes)), "SMART Data", Status()));
    EXPECT_FALSE(dl::utils::SaveLogToFile(empty, Payload(), "SMART Thresholds", Status::retrieveDataFailed()));
    // A file that cannot be written whole is never called generated.
    EXPECT_FALSE(dl::utils::SaveLogToFile(blocked, Payload(bytes, sizeof(bytes)), "SMART Data", Status()));
    EXPECT_EQ(readFile(path), std::string(bytes, sizeof(bytes)));
    EXPECT_TRUE(fs::exists(empty));
    EXPECT_EQ(fs::file_size(empty), 0u);
    // At verbosity one a success also names the path.
    EXPECT_EQ(console.text(), "SMART Data generated\nSuccessfully wrote SMART Data to " + path +
                                  "\nError in writing SMART Thresholds to " + empty +
                                  ".\nError in writing SMART Data to " + blocked + ".\n");
}

TEST(TimeStamps, DisplayFormUsesTheTwelveHourRuleFileFormPadsToTwoDigits) {
    const std::vector<std::pair<dl::LocalTime, std::string>> display{
        {at(0, 30), "07/04/2026 00:30:00 AM"}, {at(11, 59, 59), "07/04/2026 11:59:59 AM"},
        {at(12, 30), "07/04/2026 12:30:00 PM"}, {at(13, 30), "07/04/2026 01:30:00 PM"},
        {at(23, 5, 9), "07/04/2026 11:05:09 PM"}};
    for (const auto& [time, text] : display) {
        EXPECT_EQ(dl::displayTimeStamp(time), text);
    }
    EXPECT_EQ(dl::fileNameTimeStamp(at(21, 45, 10, 123)), "07-04-2026_21-45-10-123");
}

TEST(FolderName, SerialNumberIsCleanedForOneFolderLevel) {
    const std::pair<std::string, std::string> cases[] = {
        {"S4X*NE0*M1", "S4XNE0M1"}, {"", ""}, {"../A/B\\C", ".._A_B_C"},
        {std::string("X\nY\tZ\x7f") + '\x01', "X_Y_Z__"}, {"..", ".."}, {"  SN 12  ", "  SN 12  "}};
    for (const auto& [serial, cleaned] : cases) {
        EXPECT_EQ(dl::outputFolderName(serial, at(9, 5, 3, 7)), cleaned + "_07-04-2026_09-05-03-07");
    }
}

TEST(VersionFile, HoldsVersionThenTimeWithoutFinalLineEndOrFailsUnseen) {
    ScratchFolder scratch;
    FixedClock clock(at(13, 30));
    ConsoleCapture console;
    Status status = Status::notRun();
    EXPECT_TRUE(dl::createVersionFile(status, scratch.path().string()).isSuccess());
    EXPECT_TRUE(status.isSuccess());
    // The carriage return is written as it is, then text mode adds its own before the line feed.
    EXPECT_EQ(readFile(scratch.path() / "version.txt"),
              test_support::textOnDisk("Model ver. 2.4.323\r\n07/04/2026 01:30:00 PM"));
    dl::createVersionFile(status, (scratch.path() / "not-there").string());
    EXPECT_EQ(status, Status::unableToCreateFile());
    EXPECT_EQ(console.text(), "Version generated\n");
}
