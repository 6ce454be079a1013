#include <gtest/gtest.h>

#include <set>

#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/PackageGenerator.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"

using namespace debug_logs_test;
using drivekit::core::Status;
using plugin::cli::PackageGenerator;

namespace {

const std::string folderStamp = "07-04-2026_09-05-03-07";

// Writes a small "system_info.log" instead of running the host's commands.
class QuickSystemInfo : public dl::DebugLogsInterface {
public:
    Status saveReport(Status& status, const std::shared_ptr<drivekit::core::Device>&,
                      const std::string& outputPath) override {
        dl::writeTextFile((fs::path(outputPath) / "system_info.log").string(), "system\n", false);
        status = Status();
        return status;
    }
};

class PackageGeneratorTest : public ::testing::Test {
protected:
    PackageGeneratorTest() : clock_(at(9, 5, 3, 7)) {}
    ~PackageGeneratorTest() override { dl::setVerbosityLevel(0); }

    // Four drive collectors in the package's order; each writes `files` files and succeeds
    // unless its title is in failing.
    dl::CollectorTable table(std::set<std::string> failing = {}) {
        const struct {
            const char* title;
            std::vector<std::string> types;
            uint32_t files;
        } rows[] = {{"Telemetry", {"NvmeLogs", "Telemetry"}, 3},
                    {"NVME Logs", {"NvmeLogs"}, 5},
                    {"SATA Logs", {"SATALogs"}, 2},
                    {"Identify", {"Identify"}, 4}};
        dl::CollectorTable collectors;
        for (const auto& row : rows) {
            const Status outcome = failing.count(row.title) ? Status::retrieveDataFailed() : Status();
            const std::string title = row.title;
            const uint32_t files = row.files;
            collectors.driveCollectors.push_back(
                {title, row.types, [=, journal = journal_](const dl::CollectorContext&) {
                     return std::make_unique<ScriptedCollector>(title, files, outcome, journal);
                 }});
        }
        collectors.systemInfo = [](const dl::CollectorContext&) { return std::make_unique<QuickSystemInfo>(); };
        return collectors;
    }

    std::string folderName() const { return "SN42_" + folderStamp; }

    ScratchFolder scratch_;
    FixedClock clock_;
    std::shared_ptr<std::vector<std::string>> journal_ = std::make_shared<std::vector<std::string>>();
};

}  // namespace

// A failed product step is reported and the run goes on.
TEST_F(PackageGeneratorTest, SystemRunPacksTheGeneralLogsAndRemovesTheFolderEvenWhenTheProductStepFails) {
    auto collectors = table();
    collectors.productInfo = [journal = journal_](const dl::CollectorContext&) {
        return std::make_unique<ScriptedCollector>("Product", 0, Status::unableToCreateFile(), journal);
    };
    PackageGenerator generator(silentDevice("SN42"), collectors);
    ConsoleCapture console;
    Status status;
    generator.run(status, scratch_.path().string(), "SyStEm", 0, false);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(*journal_, std::vector<std::string>{"Product"});
    EXPECT_EQ(generator.collectorsRun(), 1);
    EXPECT_EQ(folderEntries(scratch_.path()), std::vector<std::string>{folderName() + ".zip"});
    EXPECT_EQ(console.text(), "\nSYSTEM LOG \n\n" + dl::bannerText("GENERATE GENERAL LOGS") + "\n\n" +
                                  dl::bannerText("ADD SYSTEM/PRODUCT INFO LOGS") +
                                  "\nFailed to create product JSON file\nVersion generated\n" +
                                  dl::bannerText("SUMMARY") + "\nTotal drive logs generated: 0\n\n" +
                                  dl::bannerText("PACKAGE THE LOGS") + "\nPackage Generated: " + folderName() +
                                  ".zip\n");
}

// A failed collector is left out of the count, but its files travel in the archive all the same.
TEST_F(PackageGeneratorTest, TypeSelectsItsCollectorsInTableOrderAndOnlySuccessesCount) {
    const struct {
        std::string type;
        std::set<std::string> failing;
        std::vector<std::string> ran;
        int files;
    } cases[] = {{"Telemetry", {}, {"Telemetry"}, 3},
                 {"nvmelogs", {}, {"Telemetry", "NVME Logs"}, 8},
                 {"SATALogs", {}, {"SATA Logs"}, 2},
                 {"", {}, {"Telemetry", "NVME Logs", "SATA Logs", "Identify"}, 14},
                 {"ALL", {"NVME Logs"}, {"Telemetry", "NVME Logs", "SATA Logs", "Identify"}, 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        journal_->clear();
        ScratchFolder destination;
        PackageGenerator generator(silentDevice("SN42"), table(c.failing));
        ConsoleCapture console;
        Status status;
        generator.run(status, destination.path().string(), c.type, 0, false);
        EXPECT_TRUE(status.isSuccess());
        EXPECT_EQ(*journal_, c.ran);
        EXPECT_EQ(generator.driveLogFiles(), c.files);
        EXPECT_EQ(generator.collectorsRun(), static_cast<int>(c.ran.size()) + 1);
        EXPECT_EQ(generator.collectorsSucceeded(), static_cast<int>(c.ran.size() - c.failing.size()));
        EXPECT_NE(console.text().find("Total drive logs generated: " + std::to_string(c.files) + "\n"),
                  std::string::npos);
        const auto archive = readZip(destination.path() / (folderName() + ".zip"));
        for (const auto& title : c.ran) {
            EXPECT_EQ(archive.count("log_pages/" + title + "_0.bin"), 1u) << title;
        }
    }
}
