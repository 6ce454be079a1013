// The log-page collector against the simulated drive and against drives that refuse it: what it
// writes, counts and prints when pages, files or the folder fail.
#include <gtest/gtest.h>

#include "plugins/plugin.debug_logs/debug_logs_common/NVMeLogs.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"
#include "tests/host/SimTestSupport.h"

using namespace debug_logs_test;
using drivekit::core::Status;

namespace {

Outcome collect(const std::shared_ptr<drivekit::core::Device>& drive, const fs::path& folder) {
    dl::NVMeLogs logs;
    return outcomeOf(logs, [&](Status& status) { logs.saveReport(status, drive, folder.string()); });
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(NvmeLogsCollector, ARefusingDriveFailsEveryPageSilentlyWithoutVerbosityAndABlockedFolderAnyCommand) {
    ScratchFolder scratch;
    // A maker's drive that refuses every command: every row fails, nothing is printed, and the
    // collection itself still succeeded.
    auto refusing = silentDevice("S2");
    refusing->attributes.writeBool(drivekit::core::attributes::kestrovaNVMe(), true);
    const auto outcome = collect(refusing, scratch.path());
    EXPECT_TRUE(outcome.status.isSuccess()) << outcome.status.message();
    EXPECT_EQ(0u, outcome.generated);
    EXPECT_EQ(35u, outcome.failed);
    EXPECT_EQ("", outcome.console);
    EXPECT_TRUE(folderEntries(scratch.path() / "log_pages").empty());
    // A folder that cannot be made ends the collection before any command.
    const fs::path blocked = scratch.path() / "a-file";
    std::ofstream(blocked.string()) << "x";
    EXPECT_EQ(Status::failedToCreateDirectory(), collect(refusing, blocked).status);
}

TEST(NvmeLogsCollector, AFileThatCannotBeWrittenCountsOnceAndTheVendorBranchFollowsTheProductName) {
    ScratchFolder scratch;
    Verbosity verbosity(1);
    // The product name is compared without regard to letter case.
    auto drive = sim_test::builtIn("varnholt-nvme");
    drive->attributes.writeString(drivekit::core::attributes::product(), "VARNHOLT");
    fs::create_directories(scratch.path() / "log_pages" / "lid_0x02_lsp_0x00_lsi_0x0000.bin");
    auto outcome = collect(drive, scratch.path());
    EXPECT_TRUE(outcome.status.isSuccess()) << outcome.status.message();
    EXPECT_TRUE(contains(outcome.console, "Failed to generated NVME Log: lid_0x02_lsp_0x00_lsi_0x0000.bin. Error: "
                                          "Failed to write to file.\n"))
        << outcome.console;
    EXPECT_TRUE(contains(outcome.console, "Successfully generated NVME Log: lid_0x03_lsp_0x00_lsi_0x0000.bin.\n"));
    EXPECT_TRUE(contains(outcome.console, "NVMe Logs generated (44 of possible 45 logs)\n")) << outcome.console;
    EXPECT_TRUE(fs::exists(scratch.path() / "log_pages" / "lid_0xfa_lsp_0x05_lsi_0x0000.bin"));

    // A product that merely contains the family's name takes no vendor branch, although its
    // temperature page is the family's.
    ScratchFolder other;
    drive = sim_test::builtIn("varnholt-nvme");
    drive->attributes.writeString(drivekit::core::attributes::product(), "Varnholt Pro");
    outcome = collect(drive, other.path());
    EXPECT_TRUE(contains(outcome.console, "NVMe Logs generated (35 of possible 35 logs)\n")) << outcome.console;
    EXPECT_TRUE(fs::exists(other.path() / "log_pages" / "lid_0xd5_lsp_0x00_lsi_0x0000.bin"));
    EXPECT_FALSE(fs::exists(other.path() / "log_pages" / "lid_0xfe_lsp_0x00_lsi_0x0000.bin"));
}
