// A run stopped by a signal while it reads, as a user stops one: the drive is put back, the
// folder of whole files stays, nothing half-written is left, one line says where the files are.
#include <signal.h>

#include <chrono>
#include <future>
#include <thread>

#include "DriveLogSupport.h"

namespace e2e {
namespace {

using InterruptedRun = Workspace;

// The number of commands traced once one matches moment; 0 when the run ended first or a
// minute went by.
size_t waitForMoment(const fs::path& trace, const std::future<Run>& run,
                     const std::function<bool(const Traced&)>& moment) {
    for (int tries = 0; tries < 6000; ++tries) {
        const auto commands = readTrace(trace);
        if (std::any_of(commands.begin(), commands.end(), moment)) {
            return commands.size();
        }
        if (run.wait_for(std::chrono::milliseconds(10)) == std::future_status::ready) {
            return 0;
        }
    }
    return 0;
}

}  // namespace

// Per case: the signal (sent twice: the second lands while the drive is put back), the reads
// it lands in (slowed down so that the run is still reading) and the feature they switch.
TEST_F(InterruptedRun, TheDriveIsPutBackAndTheWholeFilesAreKeptUnpacked) {
    struct Case {
        const char* name; int signal; bool twice; std::vector<std::string> options;
        unsigned logId; unsigned featureId;
        bool bodyStarted;  // wait for a read past the log's first piece
        bool everyDrive = false;  // "-ssd all" with a second drive after the stopped one
    };
    const Case cases[] = {
        {"SIGINT in the telemetry reads", SIGINT, false, {"-type", "Telemetry", "-extended"}, 0x07, 0x16, true},
        {"SIGTERM in the telemetry reads", SIGTERM, false, {"-type", "Telemetry", "-extended"}, 0x07, 0x16, true},
        {"two SIGINTs in the telemetry reads", SIGINT, true, {"-type", "Telemetry", "-extended"}, 0x07, 0x16, true},
        {"SIGINT in the 0xFA reads", SIGINT, false, {"-type", "NvmeLogs"}, 0xFA, 0xFA, false},
        {"SIGTERM in the 0xFA reads", SIGTERM, false, {"-type", "NvmeLogs"}, 0xFA, 0xFA, false},
        {"SIGINT in the first of every drive", SIGINT, false, {"-type", "Telemetry", "-extended"}, 0x07, 0x16, true,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto profile = changedProfile(scratch, [&](nlohmann::json& p) {
            p["faults"] = {{{"logId", c.logId}, {"action", "delay"}, {"milliseconds", 150}}};
        });
        const fs::path trace = scratch / "trace.txt", pidFile = scratch / "pid";
        fs::remove(trace);
        fs::remove(pidFile);
        std::vector<std::string> arguments{"--sim=" + profile.string(), "--sim-trace=" + trace.string(), "dump",
                                           "-debuglogs", "-ssd", c.everyDrive ? "all" : "0", "-v"};
        if (c.everyDrive) {
            arguments.insert(arguments.begin() + 1, "--sim=kestrova-sata");
        }
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        // The shell takes ssdtool's place, so its process id is ssdtool's.
        auto running = std::async(std::launch::async, [&] {
            return ssdtool(arguments, dir, "echo $$ >" + shellQuote(pidFile.string()) + "; exec");
        });
        const size_t before = waitForMoment(trace, running, [&](const Traced& t) {
            return isGetLog(t, c.logId) && (!c.bodyStarted || t.cdw12 != 0);
        });
        ASSERT_GT(before, 0u) << running.get().err;
        const pid_t pid = std::stoi(readFile(pidFile));
        ::kill(pid, c.signal);
        if (c.twice) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ::kill(pid, c.signal);
        }
        const e2e::Run run = running.get();
        EXPECT_EQ(128 + c.signal, run.exitStatus) << run.out << run.err;

        // After the signal: at most the read in flight, then the feature put back once (0xFA
        // back to 0); never switched a third time.
        const auto commands = readTrace(trace);
        ASSERT_GE(commands.size(), before);
        const std::vector<Traced> after(commands.begin() + static_cast<long>(before), commands.end());
        EXPECT_LE(std::count_if(after.begin(), after.end(), [&](const Traced& t) { return isGetLog(t, c.logId); }), 1);
        const auto restores = std::count_if(after.begin(), after.end(), [&](const Traced& t) {
            return isSetFeature(t, c.featureId) && (c.featureId != 0xFA || t.cdw11 == 0);
        });
        EXPECT_EQ(1, restores);
        EXPECT_EQ(2, std::count_if(commands.begin(), commands.end(),
                                   [&](const Traced& t) { return isSetFeature(t, c.featureId); }));

        // The folder stays with whole files only: no package, no temporary archive, no part file.
        for (const auto& item : fs::recursive_directory_iterator(dir)) {
            const std::string name = item.path().filename().string();
            EXPECT_FALSE(contains(name, ".zip") || contains(name, ".part")) << item.path();
        }
        const auto left = folderEntries(dir);
        ASSERT_TRUE(left.size() == 1 && fs::is_directory(dir / left[0])) << left.size();
        const fs::path folder = dir / left[0];
        EXPECT_TRUE(contains(run.err, "Interrupted: the collected files are kept in " +
                                          fs::canonical(folder).string() + ".\n"))
            << run.err;
        EXPECT_EQ(run.err.find("Interrupted"), run.err.rfind("Interrupted")) << run.err;
        EXPECT_FALSE(contains(run.out, "Interrupted")) << run.out;
        // The drives after the stopped one are not run; the summary says so.
        const std::string stopped = "Drive 0 of 2 (serial " + builtInSerial() + "): stopped; no package";
        const std::string notRun = "Drive 1 of 2 (serial " + builtInSerial("kestrova-sata") +
                                   "): not run\n\nSummary: 0 of 2 drives succeeded\n";
        EXPECT_EQ(c.everyDrive, contains(run.out, stopped) && contains(run.out, notRun)) << run.out;
        if (c.logId == 0xFA) {
            EXPECT_TRUE(fs::exists(folder / "log_pages" / "lid_0x02_lsp_0x00_lsi_0x0000.bin"));
        }
        clear();
    }
}

}  // namespace e2e
