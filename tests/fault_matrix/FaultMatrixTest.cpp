// The fault matrix: the whole debug-logs command, run as a user runs it, against each built-in
// simulated drive with one fault at a time: every kind of command a full run sends (found in the
// trace of a fault-free run) crossed with every fault the drive can act out. Whatever the fault,
// the run ends in bounded time with a documented exit status, and what it leaves is true: a
// readable archive of whole files holding the bytes the drive served, a report that names only
// packed files, and no partial file anywhere.
//
// CTest runs a fixed sample; SSDTOOL_FAULT_MATRIX=whole runs every case (scripts/fault-matrix),
// and SSDTOOL_FAULT_MATRIX_REPORT=FILE appends one line per case for its summary table.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>

#include "FaultMatrixCases.h"
#include "drivekit/features/PackageFileNames.h"

namespace e2e {
namespace {

constexpr unsigned timeLimitSeconds = 60;
const char* const timedOutText = "did not end within the time limit";

// Files that describe the run or the host rather than the drive: their text holds the time of
// the run and the machine's state, so they are never compared with the fault-free run.
const std::set<std::string> runFiles = {"incident_report.log", "product.json", "version.txt", "system_info.log"};

bool isRunFile(const std::string& name) { return runFiles.count(fs::path(name).filename().string()) != 0; }

// The package's files by their path in it ("log_pages/lid_...").
using Files = std::map<std::string, std::string>;

Files folderFiles(const fs::path& folder) {
    Files files;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        if (fs::is_regular_file(item.path())) {
            files[fs::relative(item.path(), folder).generic_string()] = readFile(item.path());
        }
    }
    return files;
}

// The last count lines of a text.
std::string tail(const std::string& text, size_t count) {
    const auto all = lines(text);
    std::string last;
    for (size_t i = all.size() > count ? all.size() - count : 0; i < all.size(); ++i) {
        last += all[i] + "\n";
    }
    return last;
}

// What one run left: its exit status, output, and the files of its package or kept folder.
struct Outcome {
    Run run;
    bool packed = false;
    std::string top;  // the package's folder name
    Files files;
    std::vector<std::string> problems;
};

// Runs the full command on the profile file in an empty folder dir, under the time limit.
Outcome fullRun(const fs::path& profile, const fs::path& dir, const std::string& trace = "") {
    std::vector<std::string> arguments{"--sim=" + profile.string()};
    if (!trace.empty()) {
        arguments.push_back("--sim-trace=" + trace);
    }
    for (const char* word : {"dump", "-debuglogs", "-ssd", "0", "-extended", "-v"}) {
        arguments.push_back(word);
    }
    Outcome outcome;
    outcome.run = ssdtool(arguments, dir, "", timeLimitSeconds);
    std::vector<fs::path> left;
    for (const auto& item : fs::recursive_directory_iterator(dir)) {
        if (contains(item.path().filename().string(), ".part")) {
            outcome.problems.push_back("a partial file is left: " + fs::relative(item.path(), dir).string());
        }
    }
    for (const auto& item : fs::directory_iterator(dir)) {
        left.push_back(item.path());
    }
    if (left.size() != 1) {
        outcome.problems.push_back("the destination holds " + std::to_string(left.size()) +
                                   " entries, not one package or one folder");
    } else if (left[0].extension() == ".zip") {
        outcome.packed = true;
        outcome.top = left[0].stem().string();
        outcome.files = test_support::zipEntries(left[0], outcome.problems);
    } else {
        outcome.top = left[0].filename().string();
        outcome.files = folderFiles(left[0]);
    }
    return outcome;
}

// The invariants every case must hold, as a list of what broke (empty: the case held).
std::vector<std::string> brokenInvariants(const Outcome& faulted, FaultMatrixBaseline& clean, bool driveGone) {
    std::vector<std::string> broken = faulted.problems;
    const Run& run = faulted.run;
    if (driveGone && run.exitStatus == 0) {
        broken.push_back("the drive went away and the run succeeded");
    }
    if (run.exitStatus == timedOutStatus) {
        broken.push_back(timedOutText);
    } else if (run.exitStatus != 0 && run.exitStatus != 1) {
        broken.push_back("exit status " + std::to_string(run.exitStatus));
    }
    const bool completed = contains(run.out, "Completed successfully.");
    if (completed && run.exitStatus != 0) {
        broken.push_back("\"Completed successfully.\" with exit status " + std::to_string(run.exitStatus));
    }
    for (const auto& [name, bytes] : faulted.files) {
        if (isRunFile(name)) {
            continue;
        }
        const std::string why = clean.explainDifference(name, bytes);
        if (!why.empty()) {
            broken.push_back(name + ": " + why + (completed ? " (and the run says \"Completed successfully.\")" : ""));
        }
    }
    const auto report = faulted.files.find("incident_report.log");
    if (report != faulted.files.end()) {
        for (const auto& saved : savedInReport(report->second)) {
            const auto at = saved.find(faulted.top + "/");
            const std::string name = at == std::string::npos ? saved : saved.substr(at + faulted.top.size() + 1);
            if (faulted.files.count(name) == 0) {
                broken.push_back("incident_report.log names " + name + ", which is not in the package");
            }
        }
    }
    return broken;
}

// The package file that a Get Log Page trace line reading from offset 0 writes.
std::optional<std::string> logPageFileName(const std::string& line) {
    using drivekit::features::PackageFileNames;
    unsigned opcode = 0;
    uint32_t cdw10 = 0, cdw11 = 0, cdw12 = 0, cdw13 = 0;
    if (std::sscanf(line.c_str(), "NVME opc=0x%x nsid=0x%*x cdw10=0x%x cdw11=0x%x cdw12=0x%x cdw13=0x%x", &opcode,
                    &cdw10, &cdw11, &cdw12, &cdw13) != 5 ||
        opcode != getLogPage || cdw12 != 0 || cdw13 != 0) {
        return std::nullopt;
    }
    const auto logId = static_cast<uint8_t>(cdw10 & 0xFF);
    const auto field = PackageFileNames::keptLogSpecificField(logId, static_cast<uint8_t>((cdw10 >> 8) & 0x7F));
    return std::string(PackageFileNames::logPagesFolder) + "/" +
           PackageFileNames::logPage({logId, field, static_cast<uint16_t>(cdw11 >> 16)});
}

// For each file name that two reads of the fault-free run write, the earlier page: the run
// made again with the drive gone at the later read keeps it.
void addEarlierWrites(const std::string& trace, const fs::path& scratch, const fs::path& dir, nlohmann::json profile,
                      FaultMatrixBaseline& baseline) {
    std::map<std::string, size_t> firstRead;
    const auto all = lines(trace);
    for (size_t index = 0; index < all.size(); ++index) {
        const auto name = logPageFileName(all[index]);
        if (!name || firstRead.emplace(*name, index).second) {
            continue;
        }
        profile["faults"] = nlohmann::json::array({{{"action", "remove"}, {"afterCommands", index}}});
        const fs::path file = scratch / "earlier.json";
        std::ofstream(file.string()) << profile.dump();
        const fs::path runDir = dir / "earlier";
        fs::create_directories(runDir);
        const Outcome outcome = fullRun(file, runDir);
        const auto kept = outcome.files.find(*name);
        if (kept != outcome.files.end()) {
            baseline.addEarlierWrite(*name, kept->second);
        }
        fs::remove_all(runDir);
    }
}

class FaultMatrix : public Workspace, public ::testing::WithParamInterface<const char*> {};

TEST_P(FaultMatrix, EveryCaseEndsInTimeWithTrueFilesAndNoPartialFile) {
    const std::string profileName = GetParam();
    const char* scope = std::getenv("SSDTOOL_FAULT_MATRIX");
    const bool whole = scope != nullptr && std::string(scope) == "whole";

    const fs::path cleanProfile = scratch / "clean.json";
    std::ofstream(cleanProfile.string()) << builtInProfile(profileName).dump(2);
    const fs::path trace = scratch / "trace.txt";
    const Outcome clean = fullRun(cleanProfile, dir, trace.string());
    ASSERT_EQ(0, clean.run.exitStatus) << clean.run.out << clean.run.err;
    ASSERT_TRUE(clean.problems.empty()) << clean.run.out;  // another maker's drive makes no package
    FaultMatrixBaseline baseline(profileName, clean.files, scratch);
    clear();
    addEarlierWrites(readFile(trace), scratch, dir, builtInProfile(profileName), baseline);

    const auto cases = matrixCases(profileName, commandKinds(readFile(trace)));
    ASSERT_FALSE(cases.empty());
    const char* reportPath = std::getenv("SSDTOOL_FAULT_MATRIX_REPORT");
    std::set<std::string> runProfiles;  // two cases that make the same drive are one run
    size_t ran = 0, held = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
        const MatrixCase& c = cases[i];
        if (!whole && !inSample(i)) {
            continue;
        }
        const std::string text = c.profile.dump();
        if (!runProfiles.insert(text).second) {
            continue;
        }
        const fs::path profile = scratch / "case.json";
        std::ofstream(profile.string()) << text;
        const Outcome faulted = fullRun(profile, dir);
        const auto broken = brokenInvariants(faulted, baseline, c.action == "removal");
        ++ran;
        held += broken.empty() ? 1 : 0;
        std::string why;
        for (const auto& line : broken) {
            why += (why.empty() ? "" : "; ") + line;
        }
        EXPECT_TRUE(broken.empty()) << profileName << " | " << c.kind << " | " << c.action << " | " << why
                                    << "\n--- standard output (tail):\n"
                                    << tail(faulted.run.out, 6);
        if (reportPath != nullptr) {
            std::ofstream(reportPath, std::ios::app)
                << profileName << '\t' << c.kind << '\t' << c.action << '\t' << (broken.empty() ? "held" : "broke")
                << '\t' << why << '\n';
        }
        clear();
    }
    std::printf("%s: %zu of %zu cases held\n", profileName.c_str(), held, ran);
    EXPECT_GT(ran, 0u);
}

INSTANTIATE_TEST_SUITE_P(BuiltInDrives, FaultMatrix,
                         ::testing::Values("varnholt-nvme", "kestrova-nvme", "kestrova-sata", "other-nvme"),
                         [](const auto& info) {
                             std::string name = info.param;
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

}  // namespace
}  // namespace e2e
