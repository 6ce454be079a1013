// The telemetry part of a debug-logs package, as a user gets it from the simulated drives:
// the files against the logs the drive holds, the commands the drive received, and the runs
// that fail or meet a log that changes while it is read.
#include <algorithm>

#include "DriveLogSupport.h"

namespace e2e {
namespace {

using TelemetryPackage = Workspace;

const std::string hostFile = "log_pages/lid_0x07_lsp_0x01_lsi_0x0000.bin";
const std::string controllerFile = "log_pages/lid_0x08_lsp_0x00_lsi_0x0000.bin";

}  // namespace

TEST_F(TelemetryPackage, BothLogsAreWhatTheDriveHoldsForDataArea3And4) {
    // varnholt-nvme: host-initiated last blocks 8, 40, 120, 160; controller-initiated 8, 24, 64.
    for (const bool extended : {false, true}) {
        std::vector<std::string> options{"-type", "Telemetry", "-v", "-extended"};
        options.resize(extended ? 4 : 3);
        const fs::path trace = scratch / "trace.txt";
        const auto run = debugLogs({"--sim", "--sim-trace=" + trace.string()}, options, dir);
        ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
        EXPECT_TRUE(contains(run.out, std::string("Telemetry Data Area = ") + (extended ? "4" : "3") + "\n"));
        EXPECT_TRUE(contains(run.out, "Telemetry generated (2 of possible 2 logs)\n")) << run.out;
        const auto files = packedUnder(dir, "log_pages/");
        ASSERT_EQ(2u, files.size()) << run.out;
        const std::string& host = files.at(hostFile);
        const uint32_t hostBytes = (extended ? 161u : 121u) * 512;
        EXPECT_EQ(hostBytes, host.size());
        EXPECT_EQ(65u * 512, files.at(controllerFile).size());
        // The drive made one new capture (the Create bit of the first read) and kept it. How the
        // reads, data area 4 and the time-out are sequenced is the telemetry reader's own test.
        EXPECT_TRUE(host == servedPage("varnholt-nvme", 0x07, 0, 0, hostBytes, [&](auto& drive) {
            if (extended) {
                allowDataArea4(drive);
            }
            readLog(drive, 0x07, 1, 0, 0, 4096);
        }));
        EXPECT_TRUE(files.at(controllerFile) == servedPage("varnholt-nvme", 0x08, 0, 0, 65 * 512));
        // The controller-initiated log is read without a log-specific field and kept latched
        // (Retain Asynchronous Event) by every read but the last.
        std::string retained;
        for (const auto& c : readTrace(trace)) {
            if (isGetLog(c, 0x08)) {
                EXPECT_EQ(0u, (c.cdw10 >> 8) & 0x7F);
                retained += (c.cdw10 & 0x8000) != 0 ? '1' : '0';
            }
        }
        ASSERT_GE(retained.size(), 3u);
        EXPECT_EQ(std::string(retained.size() - 1, '1') + "0", retained);
        // Host Behavior Support's commands around data area 4, its put-back too, have the
        // read's time-out.
        int hostBehavior = 0;
        for (const auto& line : lines(readFile(trace))) {
            if ((contains(line, "opc=0x0a") || contains(line, "opc=0x09")) && contains(line, "cdw10=0x00000016")) {
                ++hostBehavior;
                EXPECT_TRUE(contains(line, " timeout=60s ")) << line;
            }
        }
        EXPECT_EQ(extended ? 2 * 3 : 0, hostBehavior);  // read, set and put back for each log
        fs::remove(trace);
        clear();
    }
}

TEST_F(TelemetryPackage, AFailedReadLeavesNoFileAndTheControllerInitiatedOutcomeIsTheResult) {
    struct Case {
        const char* what;
        bool hostWritten, controllerWritten;
        std::function<void(nlohmann::json&)> change;
    };
    const Case cases[] = {
        {"no telemetry support", false, false,
         [](nlohmann::json& p) { p["attributes"]["TelemetryLogSupported"] = false; }},
        {"a short first piece", false, true, [](nlohmann::json& p) {
             p["faults"] = {{{"logId", 7}, {"offset", 0}, {"action", "shortData"}, {"bytes", 300}, {"times", 1}}};
         }},
        {"a failing piece", true, false,
         [](nlohmann::json& p) { p["faults"] = {{{"logId", 8}, {"offset", 4096}, {"statusCode", 4}}}; }},
    };
    const fs::path log = scratch / "plugin.log";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto profile = changedProfile(scratch, c.change);
        const auto run =
            debugLogs({"--sim=" + profile.string(), "--log=" + log.string()}, {"-type", "Telemetry", "-v"}, dir);
        // A failed controller-initiated read (or none on a drive without telemetry) fails the
        // collector: with no other drive log collected, the run fails and the folder is kept
        // unpacked.
        EXPECT_EQ(c.controllerWritten ? 0 : 1, run.exitStatus) << run.out << run.err;
        const int written = int{c.hostWritten} + int{c.controllerWritten};
        EXPECT_TRUE(contains(run.out, "Telemetry generated (" + std::to_string(written) + " of possible 2 logs)\n"))
            << run.out;
        const auto left = folderEntries(dir);
        ASSERT_EQ(1u, left.size());
        const fs::path folder = dir / left[0];
        const bool packed = fs::path(left[0]).extension() == ".zip";
        EXPECT_EQ(c.controllerWritten, packed);
        // Never a partial file: what was not read whole is not in the folder at all.
        const auto files = packedUnder(dir, "log_pages/");
        const auto has = [&](const std::string& file) {
            return packed ? files.count(file) == 1 : fs::exists(folder / file);
        };
        EXPECT_EQ(c.hostWritten, has(hostFile));
        EXPECT_EQ(c.controllerWritten, has(controllerFile));
        EXPECT_EQ(!c.controllerWritten, contains(readFile(log), "Telemetry: Failed to retrieve telemetry data."));
        fs::remove(log);
        fs::remove_all(folder);
    }
}

TEST_F(TelemetryPackage, ALogThatChangesOnceIsReadAgainAndOneThatKeepsChangingIsKeptWithAWarning) {
    for (const int changes : {1, 5}) {
        const auto profile =
            changedProfile(scratch, [&](nlohmann::json& p) { p["nvme"]["telemetry"]["changesDuringRead"] = changes; });
        const auto run = debugLogs({"--sim=" + profile.string()}, {"-type", "Telemetry"}, dir);
        EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
        const std::string warning = "Warning: the telemetry log changed on the drive each time it was read; ";
        EXPECT_EQ(changes > 1, contains(run.out, warning)) << run.out;
        // The package says it too, under the file's own line.
        EXPECT_EQ(changes > 1, contains(readZip(onlyPackage(dir))["incident_report.log"],
                                        hostFile + " was saved successfully\n    " + warning +
                                            "it may mix two captures.\n"));
        // Which capture is kept is the telemetry reader's own test.
        EXPECT_EQ(121u * 512, packedUnder(dir, "log_pages/")[hostFile].size());
        clear();
    }
}

// The drive goes away while the controller-initiated log is read, with data area 4 switched
// on: the run fails, switching it back off is tried once, the gone drive is not flooded, and
// the host-initiated log read before stays whole, as a run without the fault has it.
TEST_F(TelemetryPackage, ADriveThatGoesAwayFailsTheRunAndKeepsTheWholeLogsReadBefore) {
    ASSERT_EQ(0, debugLogs({"--sim"}, {"-extended"}, dir).exitStatus);
    const std::string whole = packedUnder(dir, "log_pages/").at(hostFile);
    clear();
    const auto profile = changedProfile(scratch, [](nlohmann::json& p) {
        p["faults"] = {{{"logId", 8}, {"offset", 4096}, {"action", "remove"}}};
    });
    const fs::path trace = scratch / "trace.txt";
    const auto run = debugLogs({"--sim=" + profile.string(), "--sim-trace=" + trace.string()}, {"-extended"}, dir);
    EXPECT_EQ(1, run.exitStatus) << run.out << run.err;
    EXPECT_FALSE(contains(run.out, "Completed successfully.")) << run.out;
    EXPECT_TRUE(contains(run.out, "is gone (No such device) while sending")) << run.out;

    const auto commands = readTrace(trace);
    const auto gone = std::find_if(commands.begin(), commands.end(), [](const Traced& c) { return !c.ok; });
    ASSERT_NE(gone, commands.end());
    EXPECT_TRUE(isGetLog(*gone, 0x08) && gone->cdw12 == 4096);
    EXPECT_TRUE(std::none_of(gone, commands.end(), [](const Traced& c) { return c.ok; }));
    EXPECT_EQ(1, std::count_if(gone, commands.end(), [](const Traced& c) { return isSetFeature(c, 0x16); }));
    EXPECT_LT(commands.end() - gone, 100) << "commands sent to the gone drive";

    // The whole files read before it went are packed, though the run failed.
    ASSERT_EQ(std::vector<std::string>{onlyPackage(dir).filename().string()}, folderEntries(dir)) << run.out;
    const std::string kept = packedUnder(dir, "log_pages/").at(hostFile);
    EXPECT_TRUE(kept == whole) << kept.size() << " bytes kept of " << whole.size();
}

}  // namespace e2e
