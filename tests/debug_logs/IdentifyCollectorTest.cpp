#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "drivekit/features/PackageFileNames.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Identify.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SavedBinaries.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"

using namespace debug_logs_test;
using test_support::FakeDrive;
using test_support::marked;
using drivekit::core::Status;
using Sent = std::vector<std::pair<uint8_t, uint32_t>>;

namespace {

const std::vector<uint8_t> controllerWide{0x01, 0x04, 0x06, 0x07, 0x13, 0x14, 0x15,
                                          0x16, 0x17, 0x18, 0x19, 0x1A, 0x1C};

// An NVMe drive of the maker that answers every structure the collector asks for.
std::shared_ptr<FakeDrive> makerDrive(const std::vector<uint32_t>& active, const std::vector<uint32_t>& allocated) {
    auto drive = std::make_shared<FakeDrive>();
    drive->attributes.writeBool(drivekit::core::attributes::kestrovaNVMe(), true);
    drive->identify[{0x02, 0}] = test_support::namespaceListOf(active);
    drive->identify[{0x10, 0}] = test_support::namespaceListOf(allocated);
    const auto hold = [&](const std::vector<uint8_t>& structures, const std::vector<uint32_t>& namespaces) {
        for (const uint32_t nsid : namespaces) {
            for (const uint8_t cns : structures) {
                drive->identify[{cns, nsid}] = marked(cns);
            }
        }
    };
    hold({0x00, 0x03, 0x05, 0x08, 0x12}, active);
    hold({0x11, 0x1B}, allocated);
    hold(controllerWide, {0});
    return drive;
}

Sent withControllerWide(Sent sent) {
    for (const uint8_t cns : controllerWide) {
        sent.emplace_back(cns, 0);
    }
    return sent;
}

Outcome collect(const std::shared_ptr<FakeDrive>& drive, const fs::path& folder) {
    dl::Identify collector(drive, folder.string());
    return outcomeOf(collector, [&](Status& status) { collector.saveIdentifyLogs(status); });
}

std::string name(uint8_t cns, uint32_t nsid) {
    return drivekit::features::PackageFileNames::identify({0, cns, nsid, 0, 0});
}

std::size_t savedLines() {
    const std::string record = dl::savedBinariesRecord();
    return static_cast<std::size_t>(std::count(record.begin(), record.end(), '\n'));
}

}  // namespace

TEST(IdentifyCollector, NamespacesComeCnsMajorInListOrderThenTheAllocatedOnesAndTheControllerWide) {
    ScratchFolder scratch;
    Verbosity verbose(1);
    auto drive = makerDrive({3, 1, 2}, {1});
    const Outcome outcome = collect(drive, scratch.path());

    EXPECT_TRUE(outcome.status.isSuccess());
    Sent expected{{0x02, 0}};
    for (const uint8_t cns : {0x00, 0x03, 0x05, 0x08, 0x12}) {
        for (const uint32_t nsid : {3u, 1u, 2u}) {
            expected.emplace_back(cns, nsid);
        }
    }
    expected.insert(expected.end(), {{0x10, 0}, {0x11, 1}, {0x1B, 1}});
    EXPECT_EQ(drive->identified(), withControllerWide(expected));
    EXPECT_EQ(outcome.generated, 32u);
    EXPECT_EQ(outcome.failed, 0u);
    EXPECT_EQ(outcome.console.rfind(dl::bannerText("Generate Identify Logs") + "\n", 0), 0u);
    EXPECT_NE(outcome.console.find("Identify generated (32 of possible 32 logs)\n"), std::string::npos);

    const fs::path folder = scratch.path() / "identify";
    EXPECT_EQ(folderEntries(folder).size(), 32u);
    // The CNS is decimal in file names and hexadecimal in messages.
    const std::string path = (folder / "cntid_0_cns_27_nsid_1_nvmsetid_0_csi_0.bin").string();
    EXPECT_TRUE(fs::exists(path));
    EXPECT_NE(outcome.console.find("Successfully generated CNS(0x1B) log to " + path + ".\n"), std::string::npos);
    // Folder and file joined as the platform's paths are.
    const std::string saved = (fs::path("identify") / "cntid_0_cns_27_nsid_1_nvmsetid_0_csi_0.bin").string();
    EXPECT_NE(dl::savedBinariesRecord().find(saved + " was saved successfully\n"), std::string::npos);
}

TEST(IdentifyCollector, NamespaceFileKeepsTheCollectorsCnsWhenTheAllocatedFormIsSentAndNoNamespaceNoFile) {
    ScratchFolder scratch;
    auto drive = makerDrive({1}, {});
    drive->attributes.writeBool(drivekit::core::attributes::namespaceManagementSupported(), true);
    drive->identify[{0x11, 1}] = marked(0x11);
    collect(drive, scratch.path());

    ASSERT_GE(drive->identified().size(), 2u);
    EXPECT_EQ(drive->identified()[1], std::make_pair(uint8_t{0x11}, 1u));
    const std::string file = readFile(scratch.path() / "identify" / name(0x00, 1));
    ASSERT_EQ(file.size(), 4096u);
    EXPECT_EQ(static_cast<uint8_t>(file[0]), 0x11);

    // An empty active list yields only its own file.
    ScratchFolder empty;
    auto withoutNamespaces = makerDrive({}, {});
    const Outcome outcome = collect(withoutNamespaces, empty.path());
    EXPECT_EQ(withoutNamespaces->identified(), withControllerWide({{0x02, 0}, {0x10, 0}}));
    EXPECT_EQ(outcome.generated, 15u);
    EXPECT_TRUE(fs::exists(empty.path() / "identify" / name(0x02, 0)));
    // Without verbosity only the plain total is printed.
    EXPECT_EQ(outcome.console, "Identify generated (15 logs)\n");
}

// One step fails on a drive with one active and one allocated namespace: it is counted, no
// file is left for it, and the other steps still run.
TEST(IdentifyCollector, AFailedStepIsCountedAndTheRunGoesOn) {
    struct Case {
        std::string what;
        std::function<void(FakeDrive&, const fs::path& identifyFolder)> change;
        Sent sent;  // before the controller-wide structures
        uint32_t generated;
        std::string message;
        std::string absent;
    };
    const Sent everything{{0x02, 0}, {0x00, 1}, {0x03, 1}, {0x05, 1}, {0x08, 1},
                          {0x12, 1}, {0x10, 0}, {0x11, 1}, {0x1B, 1}};
    const std::vector<Case> cases{
        {"the allocated list fails: its namespaces are not read",
         [](FakeDrive& drive, const fs::path&) { drive.identify.erase({0x10, 0}); },
         Sent(everything.begin(), everything.begin() + 7), 19,
         "Error in Identify CNS(0x10): NVMe command reported a problem.\n", name(0x10, 0)},
        {"a short active list is a failed step, not an exception",
         [](FakeDrive& drive, const fs::path&) {
             drive.identify[{0x02, 0}] = drivekit::core::Payload(test_support::namespaceListOf({1}).data(), 1024);
         },
         {{0x02, 0}, {0x10, 0}, {0x11, 1}, {0x1B, 1}}, 16,
         "Error in Identify CNS(0x02): The IO command passed, but did not return the expected amount of data.\n",
         name(0x02, 0)},
        {"success without data cannot be saved",
         [](FakeDrive& drive, const fs::path&) { drive.identify[{0x04, 0}] = drivekit::core::Payload(); },
         everything, 21, "", name(0x04, 0)},
        {"a list that cannot be saved still names the namespaces to read",
         [](FakeDrive&, const fs::path& folder) {
             // A folder (not empty, so nothing may take it away) stands where the list goes.
             fs::create_directories(folder / name(0x02, 0));
             std::ofstream((folder / name(0x02, 0) / "keep").string()) << "x";
         },
         everything, 21, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        Verbosity verbose(1);
        auto drive = makerDrive({1}, {1});
        c.change(*drive, scratch.path() / "identify");
        const std::size_t recordedBefore = savedLines();
        Outcome outcome;
        ASSERT_NO_THROW(outcome = collect(drive, scratch.path()));

        EXPECT_TRUE(outcome.status.isSuccess());
        EXPECT_EQ(drive->identified(), withControllerWide(c.sent));
        EXPECT_EQ(outcome.generated, c.generated);
        EXPECT_EQ(outcome.failed, 1u);
        EXPECT_EQ(savedLines() - recordedBefore, c.generated);
        if (!c.message.empty()) {
            EXPECT_NE(outcome.console.find(c.message), std::string::npos) << outcome.console;
        }
        const std::string total = "Identify generated (" + std::to_string(c.generated) + " of possible " +
                                  std::to_string(c.generated + 1) + " logs)\n";
        EXPECT_NE(outcome.console.find(total), std::string::npos) << outcome.console;
        if (!c.absent.empty()) {
            EXPECT_FALSE(fs::exists(scratch.path() / "identify" / c.absent));
        }
    }
}

TEST(IdentifyCollector, ADriveNotTheMakersNvmeOrAFolderThatCannotBeMadeStopsBeforeAnyCommand) {
    ScratchFolder scratch;
    Verbosity verbose(1);
    const fs::path blocker = scratch.path() / "blocked";
    std::ofstream(blocker.string()) << "a file where the output folder should be";
    const struct {
        bool makers;
        fs::path folder;
        Status status;
        std::string message;
    } cases[] = {{false, scratch.path(), Status::featureNotSupported(),
                  "Identify logs: Skipped, drive not NVMe.\n"},
                 {true, blocker, Status::failedToCreateDirectory(),
                  "Error in creating directory: " + (blocker / "identify").string()}};
    for (const auto& c : cases) {
        auto drive = makerDrive({1}, {1});
        drive->attributes.writeBool(drivekit::core::attributes::kestrovaNVMe(), c.makers);
        const Outcome outcome = collect(drive, c.folder);
        EXPECT_EQ(outcome.status, c.status) << c.message;
        EXPECT_TRUE(drive->sent.empty()) << c.message;
        EXPECT_NE(outcome.console.find(c.message), std::string::npos) << outcome.console;
    }
    EXPECT_FALSE(fs::exists(scratch.path() / "identify"));
}
