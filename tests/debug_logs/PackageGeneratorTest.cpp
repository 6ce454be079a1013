#include <gtest/gtest.h>
#include <zip.h>

#include <set>

#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/PackageGenerator.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SavedBinaries.h"
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

class FailingProductInfo : public dl::DebugLogsInterface {
public:
    Status saveReport(Status& status, const std::shared_ptr<drivekit::core::Device>&, const std::string&) override {
        status = Status::unableToCreateFile();
        return status;
    }
};

std::set<std::string> archiveEntries(const fs::path& archivePath) {
    std::set<std::string> names;
    int error = 0;
    zip_t* archive = zip_open(archivePath.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) {
        ADD_FAILURE() << "no archive at " << archivePath;
        return names;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        names.insert(zip_get_name(archive, static_cast<zip_uint64_t>(i), 0));
    }
    zip_close(archive);
    return names;
}

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

    std::shared_ptr<test_support::StubDrive> device(const std::string& serial = "SN42") {
        return silentDevice(serial);
    }

    std::string folderName(const std::string& serial = "SN42") const { return serial + "_" + folderStamp; }

    ScratchFolder scratch_;
    FixedClock clock_;
    std::shared_ptr<std::vector<std::string>> journal_ = std::make_shared<std::vector<std::string>>();
};

}  // namespace

TEST_F(PackageGeneratorTest, SystemRunPacksTheGeneralLogsAndRemovesTheFolder) {
    PackageGenerator generator(device(), table());
    ConsoleCapture console;
    Status status;
    generator.run(status, scratch_.path().string(), "SyStEm", 0, false);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_TRUE(journal_->empty());
    EXPECT_EQ(generator.collectorsRun(), 1);
    EXPECT_EQ(folderEntries(scratch_.path()), std::vector<std::string>{folderName() + ".zip"});
    EXPECT_EQ(archiveEntries(scratch_.path() / (folderName() + ".zip")),
              (std::set<std::string>{"incident_report.log", "system_info.log", "version.txt"}));
    EXPECT_EQ(console.text(), "\nSYSTEM LOG \n\n" + dl::bannerText("GENERATE GENERAL LOGS") + "\n\n" +
                                  dl::bannerText("ADD SYSTEM/PRODUCT INFO LOGS") + "\nVersion generated\n" +
                                  dl::bannerText("SUMMARY") + "\nTotal drive logs generated: 0\n\n" +
                                  dl::bannerText("PACKAGE THE LOGS") + "\nPackage Generated: " + folderName() +
                                  ".zip\n");
}

TEST_F(PackageGeneratorTest, TypeSelectsItsCollectorsInTableOrder) {
    const struct {
        std::string type;
        std::vector<std::string> ran;
        int files;
    } cases[] = {{"Telemetry", {"Telemetry"}, 3},
                 {"nvmelogs", {"Telemetry", "NVME Logs"}, 8},
                 {"SATALogs", {"SATA Logs"}, 2},
                 {"", {"Telemetry", "NVME Logs", "SATA Logs", "Identify"}, 14},
                 {"ALL", {"Telemetry", "NVME Logs", "SATA Logs", "Identify"}, 14}};
    for (const auto& c : cases) {
        journal_->clear();
        ScratchFolder destination;
        PackageGenerator generator(device(), table());
        ConsoleCapture console;
        Status status;
        generator.run(status, destination.path().string(), c.type, 0, false);
        EXPECT_TRUE(status.isSuccess()) << c.type;
        EXPECT_EQ(*journal_, c.ran) << c.type;
        EXPECT_EQ(generator.driveLogFiles(), c.files) << c.type;
        EXPECT_EQ(generator.collectorsRun(), static_cast<int>(c.ran.size()) + 1) << c.type;
        EXPECT_NE(console.text().find("Total drive logs generated: " + std::to_string(c.files) + "\n"),
                  std::string::npos);
        EXPECT_TRUE(fs::exists(destination.path() / (folderName() + ".zip"))) << c.type;
    }
}

TEST_F(PackageGeneratorTest, FailedCollectorsAreLeftOutOfTheCount) {
    PackageGenerator generator(device(), table({"NVME Logs"}));
    ConsoleCapture console;
    Status status;
    generator.run(status, scratch_.path().string(), "all", 0, false);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(journal_->size(), 4u);
    EXPECT_EQ(generator.collectorsSucceeded(), 3);
    EXPECT_EQ(generator.driveLogFiles(), 9);
    // The failed collector's files were written and travel in the archive all the same.
    EXPECT_EQ(archiveEntries(scratch_.path() / (folderName() + ".zip")).count("log_pages/NVME Logs_0.bin"), 1u);
}

TEST_F(PackageGeneratorTest, NothingCountedMeansNoArchiveButSuccess) {
    PackageGenerator generator(device(), table({"Telemetry", "NVME Logs", "SATA Logs", "Identify"}));
    ConsoleCapture console;
    Status status;
    generator.run(status, scratch_.path().string(), "all", 0, false);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_NE(console.text().find("Total drive logs generated: 0\n"), std::string::npos);
    EXPECT_EQ(console.text().find("PACKAGE THE LOGS"), std::string::npos);
    EXPECT_EQ(folderEntries(scratch_.path()), std::vector<std::string>{folderName()});
    EXPECT_TRUE(fs::exists(scratch_.path() / folderName() / "incident_report.log"));
}

TEST_F(PackageGeneratorTest, FailedPackagingIsTheResultAndNamesTheKeptFolder) {
    // A folder in the archive's place makes packing fail.
    fs::create_directories(scratch_.path() / (folderName() + ".zip"));
    PackageGenerator generator(device(), table());
    ConsoleCapture console;
    Status status;
    generator.run(status, scratch_.path().string(), "Identify", 2, false);
    const std::string folder = fs::canonical(generator.outputPath()).string();
    EXPECT_EQ(status, Status::failedToWriteFile());
    const std::string kept = ". The collected files are kept in " + folder + ".";
    EXPECT_EQ(status.message().find("Failed to create the package: cannot "), 0u) << status.message();
    EXPECT_EQ(status.message().substr(status.message().size() - kept.size()), kept) << status.message();
    const std::string out = console.text();
    EXPECT_NE(out.find("Result: Failure\nFailed to create the package: cannot "), std::string::npos) << out;
    EXPECT_EQ(out.find("Package Generated: "), std::string::npos);
    EXPECT_EQ(folderEntries(folder),
              (std::vector<std::string>{"incident_report.log", "log_pages", "system_info.log", "version.txt"}));
}

TEST_F(PackageGeneratorTest, ProductFailureIsReportedAndTheRunGoesOn) {
    auto collectors = table();
    collectors.productInfo = [](const dl::CollectorContext&) { return std::make_unique<FailingProductInfo>(); };
    PackageGenerator generator(device(), collectors);
    ConsoleCapture console;
    Status status;
    generator.run(status, scratch_.path().string(), "System", 0, false);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_NE(console.text().find("Failed to create product JSON file\nVersion generated\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(scratch_.path() / (folderName() + ".zip")));
}

TEST_F(PackageGeneratorTest, IncidentReportHasDateAndTheSavedBinaries) {
    FixedClock afternoon(at(13, 30));
    dl::recordSavedBinary("/pkg/log_pages", "incident-test.bin");
    PackageGenerator generator(device(), table());
    Status status;
    generator.createOutputFolder(status, scratch_.path().string());
    ASSERT_TRUE(status.isSuccess());
    status = Status::notRun();
    generator.SaveIncidentReportLog(status);
    EXPECT_TRUE(status.isSuccess());
    const std::string report = readFile(fs::path(generator.outputPath()) / "incident_report.log");
    EXPECT_EQ(report, std::string(40, '-') + " Section: Date & Time " + std::string(72, '-') +
                          "\n07/04/2026 01:30:00 PM\n" + std::string(40, '-') + " Section: Vendor specific binaries " +
                          std::string(52, '-') + "\n" + dl::savedBinariesRecord() + "\n");
    EXPECT_NE(report.find("/pkg/log_pages/incident-test.bin was saved successfully\n\n"), std::string::npos);
}

TEST_F(PackageGeneratorTest, FolderIsNamedAfterTheCleanedSerialUnderTheDestinationAsGiven) {
    const std::string destination = scratch_.path().string() + "/nested/dest";
    PackageGenerator generator(device("AB*/C\\D"), table());
    Status status;
    generator.createOutputFolder(status, destination);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(generator.baseFolder(), destination);
    EXPECT_EQ(generator.folderName(), "AB_C_D_" + folderStamp);
    EXPECT_EQ(generator.outputPath(), destination + "/AB_C_D_" + folderStamp);
    EXPECT_EQ(folderEntries(destination), std::vector<std::string>{"AB_C_D_" + folderStamp});

    // A serial number too long for a file name is cut, never inside a character; the archive's
    // name still fits.
    std::string longSerial = "S" + std::string(149, 'x');
    for (int i = 0; i < 75; ++i) {
        longSerial += "\xC3\xA9";
    }
    PackageGenerator longer(device(longSerial), table());
    longer.createOutputFolder(status, destination);
    ASSERT_TRUE(status.isSuccess()) << status.message();
    const std::string name = longer.folderName();
    EXPECT_LE(name.size() + 4, 255u - 7u);
    EXPECT_EQ(name.substr(name.size() - folderStamp.size() - 1), "_" + folderStamp);
    const std::string kept = name.substr(0, name.size() - folderStamp.size() - 1);
    EXPECT_GT(kept.size(), 200u);
    EXPECT_EQ(kept, longSerial.substr(0, kept.size()));
    EXPECT_EQ((kept.size() - 150) % 2, 0u) << "a character was cut in two";
}
