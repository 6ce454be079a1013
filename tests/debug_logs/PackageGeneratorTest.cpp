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

// Runs started in the same millisecond, or after a package of the same time stamp was left,
// share nothing: each takes the next free name. An archive that appears while the run collects
// is kept and the run fails naming it, the files kept in the folder.
TEST_F(PackageGeneratorTest, ANameInUseIsNeverSharedOrReplaced) {
    const std::string oldPackage = "an earlier package";
    const struct {
        const char* name;
        std::vector<std::string> leftBefore;  // taken names: ".zip" files hold oldPackage, others are folders
        bool appearsDuringRun;                // "<folder>.zip" is made while the collectors run
        std::vector<std::string> after;       // what the destination holds after the last run, sorted
    } cases[] = {
        {"same millisecond, one after the other", {}, false, {folderName() + ".zip", folderName() + "_2.zip"}},
        {"package left", {folderName() + ".zip"}, false, {folderName() + ".zip", folderName() + "_2.zip"}},
        {"a run in progress, and the next package left",
         {folderName(), folderName() + "_2.zip"},
         false,
         {folderName(), folderName() + "_2.zip", folderName() + "_3.zip"}},
        {"package appears", {}, true, {folderName(), folderName() + ".zip"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder destination;
        for (const auto& taken : c.leftBefore) {
            if (fs::path(taken).extension() == ".zip") {
                std::ofstream((destination.path() / taken).string()) << oldPackage;
            } else {
                fs::create_directories(destination.path() / taken);
            }
        }
        auto collectors = table();
        if (c.appearsDuringRun) {
            collectors.productInfo = [&](const dl::CollectorContext& context) {
                std::ofstream(context.outputPath + ".zip") << oldPackage;
                return std::make_unique<ScriptedCollector>("Product", 0, Status(), journal_);
            };
        }
        // A first run when nothing was planted, to take the name the second one wants.
        const int runs = c.leftBefore.empty() && !c.appearsDuringRun ? 2 : 1;
        Status status;
        std::string printed;
        for (int run = 0; run < runs; ++run) {
            PackageGenerator generator(silentDevice("SN42"), collectors);
            ConsoleCapture console;
            generator.run(status, destination.path().string(), "System", 0, false);
            printed = console.text();
        }
        EXPECT_EQ(folderEntries(destination.path()), c.after);
        EXPECT_EQ(status.isSuccess(), !c.appearsDuringRun) << status.message();
        for (const auto& name : c.after) {
            const fs::path path = destination.path() / name;
            const bool planted = std::count(c.leftBefore.begin(), c.leftBefore.end(), name) || c.appearsDuringRun;
            if (fs::is_regular_file(path) && planted) {
                EXPECT_EQ(readFile(path), oldPackage) << name;
            } else if (fs::is_regular_file(path)) {
                EXPECT_EQ(readZip(path).count("version.txt"), 1u) << name;
            }
        }
        if (c.appearsDuringRun) {
            // The reason on the progress line and in the result, which ends with the kept folder.
            const std::string folder = (fs::canonical(destination.path()) / folderName()).string();
            EXPECT_EQ(status.message().rfind("Failed to create the package: cannot create ", 0), 0u)
                << status.message();
            EXPECT_NE(status.message().find(folderName() + ".zip: a file of that name exists already. The collected "
                                                           "files are kept in " + folder + "."),
                      std::string::npos)
                << status.message();
            EXPECT_NE(printed.find("\nFailed to create the package: cannot create "), std::string::npos) << printed;
            EXPECT_EQ(printed.find("Package Generated"), std::string::npos) << printed;
            EXPECT_TRUE(fs::is_regular_file(destination.path() / folderName() / "version.txt"));
        }
    }
}
