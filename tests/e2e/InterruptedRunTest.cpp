// A run stopped by a signal while it reads, as a user stops one: the drive is put back, the
// folder of whole files stays, nothing half-written is left, one line says where the files are.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "DriveLogSupport.h"

namespace e2e {
namespace {

using InterruptedRun = Workspace;

// Starts ssdtool in cwd, its output into files, and returns at once.
pid_t startSsdtool(const std::vector<std::string>& arguments, const fs::path& cwd, const fs::path& out,
                   const fs::path& err) {
    std::vector<std::string> words{std::string(SSDTOOL_BIN_DIR) + "/ssdtool"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::chdir(cwd.c_str()) != 0 || ::dup2(in, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) {
            ::_exit(127);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

// The number of commands traced once one matches moment; 0 when the run ended first or a
// minute went by.
size_t waitForMoment(const fs::path& trace, pid_t pid, const std::function<bool(const Traced&)>& moment) {
    for (int tries = 0; tries < 6000; ++tries) {
        const auto commands = readTrace(trace);
        if (std::any_of(commands.begin(), commands.end(), moment)) {
            return commands.size();
        }
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

int exitStatusOf(pid_t pid) {
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

}  // namespace

// Per case: the signal (sent twice: the second lands while the drive is put back), the reads
// it lands in (slowed down so that the run is still reading) and the feature they switch.
TEST_F(InterruptedRun, TheDriveIsPutBackAndTheWholeFilesAreKeptUnpacked) {
    struct Case {
        const char* name; int signal; bool twice; std::vector<std::string> options;
        unsigned logId; unsigned featureId;
        bool bodyStarted;  // wait for a read past the log's first piece
    };
    const Case cases[] = {
        {"SIGINT in the telemetry reads", SIGINT, false, {"-type", "Telemetry", "-extended"}, 0x07, 0x16, true},
        {"SIGTERM in the telemetry reads", SIGTERM, false, {"-type", "Telemetry", "-extended"}, 0x07, 0x16, true},
        {"two SIGINTs in the telemetry reads", SIGINT, true, {"-type", "Telemetry", "-extended"}, 0x07, 0x16, true},
        {"SIGINT in the 0xFA reads", SIGINT, false, {"-type", "NvmeLogs"}, 0xFA, 0xFA, false},
        {"SIGTERM in the 0xFA reads", SIGTERM, false, {"-type", "NvmeLogs"}, 0xFA, 0xFA, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto profile = changedProfile(scratch, [&](nlohmann::json& p) {
            p["faults"] = {{{"logId", c.logId}, {"action", "delay"}, {"milliseconds", 150}}};
        });
        const fs::path trace = scratch / "trace.txt", out = scratch / "out.txt", err = scratch / "err.txt";
        fs::remove(trace);
        std::vector<std::string> arguments{"--sim=" + profile.string(), "--sim-trace=" + trace.string(), "dump",
                                           "-debuglogs", "-ssd", "0", "-v"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const pid_t pid = startSsdtool(arguments, dir, out, err);
        ASSERT_GT(pid, 0);
        const size_t before = waitForMoment(trace, pid, [&](const Traced& t) {
            return isGetLog(t, c.logId) && (!c.bodyStarted || t.cdw12 != 0);
        });
        ASSERT_GT(before, 0u) << readFile(out) << readFile(err);
        ::kill(pid, c.signal);
        if (c.twice) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ::kill(pid, c.signal);
        }
        EXPECT_EQ(128 + c.signal, exitStatusOf(pid)) << readFile(out) << readFile(err);

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
        std::vector<fs::path> folders;
        for (const auto& item : fs::recursive_directory_iterator(dir)) {
            const std::string name = item.path().filename().string();
            EXPECT_FALSE(contains(name, ".zip") || contains(name, ".part")) << item.path();
            if (item.path().parent_path() == dir && fs::is_directory(item.path())) {
                folders.push_back(item.path());
            }
        }
        ASSERT_EQ(1u, folders.size());
        const std::string line = "Interrupted: the collected files are kept in " + fs::canonical(folders[0]).string() + ".\n";
        const std::string errText = readFile(err);
        EXPECT_TRUE(contains(errText, line)) << errText;
        EXPECT_EQ(errText.find("Interrupted"), errText.rfind("Interrupted")) << errText;
        EXPECT_FALSE(contains(readFile(out), "Interrupted")) << readFile(out);
        if (c.logId == 0xFA) {
            EXPECT_TRUE(fs::exists(folders[0] / "log_pages" / "lid_0x02_lsp_0x00_lsi_0x0000.bin"));
        }
        clear();
    }
}

}  // namespace e2e
