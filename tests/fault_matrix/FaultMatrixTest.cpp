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
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <tuple>

#include "drivekit/features/PackageFileNames.h"
#include "e2e/DriveLogSupport.h"

namespace e2e {
namespace {

// The baseline: what the drive served, to compare a faulted run's files with. The simulated drive is
// deterministic, so every drive file of a fault-free run is what any run must hold, with one
// exception: the telemetry logs. A new host-initiated capture, or a log that changes while it
// is read, legitimately gives other bytes; each of their blocks carries its block number and
// the generation of the capture it belongs to, so such a file is checked block by block
// against what a fresh drive serves for that generation.
class FaultMatrixBaseline {
public:
    FaultMatrixBaseline(const std::string& profileName, std::map<std::string, std::string> files,
                        const fs::path& scratch)
        : files_(std::move(files)), profile_(scratch / "telemetry-reference.json") {
        auto profile = builtInProfile(profileName);
        profile["nvme"]["telemetry"]["changesDuringRead"] = 255;  // each pass a new generation
        std::ofstream(profile_.string()) << profile.dump(2);
    }

    // Why a file of a faulted run is not what the drive served; empty when it is.
    std::string explainDifference(const std::string& name, const std::string& bytes) {
        const auto logId = telemetryLogId(name);
        if (logId) {
            return telemetryDifference(*logId, bytes);
        }
        const auto earlier = earlierWrites_.find(name);
        if (earlier != earlierWrites_.end() && earlier->second == bytes) {
            return "";
        }
        const auto clean = files_.find(name);
        if (clean == files_.end()) {
            return "not in the fault-free package";
        }
        if (clean->second.size() != bytes.size()) {
            return std::to_string(bytes.size()) + " bytes where the drive holds " +
                   std::to_string(clean->second.size());
        }
        return clean->second == bytes ? "" : "other bytes than the drive served";
    }

    // Two pages of one drive may share a file name, the later replacing the earlier; when the
    // later read fails, the earlier page is the file, and it too is what the drive served.
    void addEarlierWrite(const std::string& name, const std::string& bytes) { earlierWrites_[name] = bytes; }

private:
    static constexpr size_t block = 512;

    static std::optional<unsigned> telemetryLogId(const std::string& name) {
        for (const unsigned logId : {0x07u, 0x08u}) {
            if (name.rfind("log_pages/lid_0x0" + std::to_string(logId) + "_", 0) == 0) {
                return logId;
            }
        }
        return std::nullopt;
    }

    static uint32_t littleEndian(const std::string& bytes, size_t at, size_t width) {
        uint32_t value = 0;
        for (size_t i = width; i-- > 0;) {
            value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
        }
        return value;
    }

    std::string telemetryDifference(unsigned logId, const std::string& bytes) {
        if (bytes.size() < block) {
            return std::to_string(bytes.size()) + " bytes, less than the telemetry header";
        }
        const uint32_t area4 = littleEndian(bytes, 16, 4);
        const uint64_t declared = (uint64_t{area4 != 0 ? area4 : littleEndian(bytes, 12, 2)} + 1) * block;
        if (bytes.size() != declared) {
            return std::to_string(bytes.size()) + " bytes where its header says " + std::to_string(declared);
        }
        // The header names the generations of both logs; the rest of it is fixed.
        const auto generationAt = [&](size_t at) { return static_cast<uint8_t>(bytes[at]); };
        const uint8_t headerGeneration = generationAt(logId == 0x07 ? 381 : 383);
        const std::string& headerReference = reference(logId, area4 != 0, headerGeneration);
        if (headerReference.size() != bytes.size() || headerReference.compare(0, 381, bytes, 0, 381) != 0 ||
            headerReference.compare(384, block - 384, bytes, 384, block - 384) != 0) {
            return "its header is not one the drive served";
        }
        for (size_t at = block; at < bytes.size(); at += block) {
            const std::string& served = reference(logId, area4 != 0, generationAt(at + 4));
            if (served.size() != bytes.size() || served.compare(at, block, bytes, at, block) != 0) {
                return "block " + std::to_string(at / block) + " is not one the drive served";
            }
        }
        return "";
    }

    // The whole log of a fresh drive at a generation (empty when the drive cannot reach it).
    const std::string& reference(unsigned logId, bool area4, uint8_t generation) {
        const auto key = std::make_tuple(logId, area4, generation);
        const auto found = references_.find(key);
        if (found != references_.end()) {
            return found->second;
        }
        std::string& log = references_[key];
        if (generation == 0) {
            return log;
        }
        log = served(profile_.string(), [&](drivekit::core::Device& drive) {
            if (area4) {
                allowDataArea4(drive);
            }
            // A host-initiated read with Create makes a new capture; a pass that reads past
            // the header makes the next one (the profile changes the log on every pass).
            for (unsigned g = 1; g < generation; ++g) {
                if (logId == 0x07) {
                    readLog(drive, logId, 1, 0, 0, block);
                } else {
                    readLog(drive, logId, 0, 0, 0, block);
                    readLog(drive, logId, 0, 0, block, block);
                }
            }
            const std::string header = readLog(drive, logId, 0, 0, 0, block);
            const uint32_t last = area4 ? littleEndian(header, 16, 4) : littleEndian(header, 12, 2);
            return readLog(drive, logId, 0, 0, 0, static_cast<uint32_t>((uint64_t{last} + 1) * block));
        });
        return log;
    }

    std::map<std::string, std::string> files_;
    std::map<std::string, std::string> earlierWrites_;
    fs::path profile_;
    std::map<std::tuple<unsigned, bool, uint8_t>, std::string> references_;
};


// The cases: the kinds of command a fault-free run sends, read from its
// trace, and the fault actions, each turned into a profile of the built-in drive plus the fault.
// A group of commands one fault matcher selects: the facts a fault can match on.
struct CommandKind {
    std::string name;
    nlohmann::json matcher;
    uint64_t length = 0;  // bytes the first command of the kind transfers
    bool nvme = false;
    bool firstPiece = true;  // not a later piece of a log read in pieces
    bool telemetry = false;
};

struct MatrixCase {
    std::string kind;
    std::string action;
    nlohmann::json profile;
};

// The kinds in the order the run first sends them. A log page read in pieces gives two kinds:
// its first piece (offset 0) and its first later piece, as a fault can match the offset.
std::vector<CommandKind> commandKinds(const std::string& trace) {
    const std::regex nvmeLine(R"(^NVME opc=0x(\w+) \S+ cdw10=0x(\w+) \S+ cdw12=0x(\w+) cdw13=0x(\w+) .* len=(\d+) )");
    const std::regex ataLine(R"(^ATA proto=(\w+) cmd=0x(\w+) feature=0x(\w+) .* blocks=(\d+) )");
    std::vector<CommandKind> kinds;
    std::set<std::string> seen;
    for (const auto& line : lines(trace)) {
        std::smatch m;
        CommandKind kind;
        if (std::regex_search(line, m, nvmeLine)) {
            const auto opcode = static_cast<unsigned>(std::stoul(m[1], nullptr, 16));
            const auto low = static_cast<unsigned>(std::stoul(m[2], nullptr, 16) & 0xFF);
            const uint64_t offset = (std::stoull(m[4], nullptr, 16) << 32) | std::stoull(m[3], nullptr, 16);
            kind.nvme = true;
            kind.length = std::stoull(m[5]);
            kind.matcher = {{"protocol", "NVME"}, {"opcode", opcode}};
            kind.name = "NVME " + hex(opcode);
            const std::map<unsigned, std::string> fields{{0x02, "logId"}, {0x06, "cns"}, {0x09, "featureId"},
                                                         {0x0a, "featureId"}};
            if (fields.count(opcode) != 0) {
                kind.matcher[fields.at(opcode)] = low;
                kind.name += " " + fields.at(opcode) + " " + hex(low);
            }
            if (opcode == 0x02) {
                kind.telemetry = low == 0x07 || low == 0x08;
                kind.firstPiece = offset == 0;
                const std::string firstKey = kind.name + " later";
                if (!kind.firstPiece && seen.count(firstKey) != 0) {
                    continue;  // only the first later piece: the rest are the same case at another offset
                }
                if (!kind.firstPiece) {
                    seen.insert(firstKey);
                }
                kind.matcher["offset"] = offset;
                kind.name += kind.firstPiece ? " first piece" : " later piece";
            }
        } else if (std::regex_search(line, m, ataLine)) {
            const auto command = static_cast<unsigned>(std::stoul(m[2], nullptr, 16));
            kind.length = std::stoull(m[4]) * 512;
            kind.matcher = {{"protocol", m[1].str()}, {"opcode", command}};
            kind.name = m[1].str() + " " + hex(command);
            if (command == 0xb0) {  // SMART: the feature register says which
                const auto feature = static_cast<unsigned>(std::stoul(m[3], nullptr, 16));
                kind.matcher["featureId"] = feature;
                kind.name += " featureId " + hex(feature);
            }
        } else {
            continue;
        }
        if (seen.insert(kind.name).second) {
            kinds.push_back(kind);
        }
    }
    return kinds;
}

// One fault action: which kinds it applies to and how it changes the profile.
struct FaultAction {
    const char* name;
    std::function<bool(const CommandKind&)> applies;
    std::function<void(nlohmann::json& profile, const CommandKind&)> add;
};

// A fault on the kind's matcher, with the given fields.
void addFault(nlohmann::json& profile, const CommandKind& kind, const nlohmann::json& fields) {
    profile["faults"].push_back(kind.matcher);
    profile["faults"].back().update(fields);
}

FaultAction fault(const char* name, const nlohmann::json& fields,
                  const std::function<bool(const CommandKind&)>& applies = {}) {
    return {name, applies ? applies : [](const CommandKind&) { return true; },
            [fields](nlohmann::json& profile, const CommandKind& kind) { addFault(profile, kind, fields); }};
}

// A fault action whose byte count depends on the kind's length; only for kinds that move
// more bytes than the fault leaves.
FaultAction byteFault(const char* name, const char* action, const std::function<uint64_t(uint64_t)>& bytes) {
    return {name, [bytes](const CommandKind& kind) { return kind.length > bytes(kind.length); },
            [action, bytes](nlohmann::json& profile, const CommandKind& kind) {
                addFault(profile, kind, {{"action", action}, {"bytes", bytes(kind.length)}});
            }};
}

std::vector<FaultAction> faultActions() {
    std::vector<FaultAction> actions{
        fault("status once", {{"times", 1}}),
        fault("status always", nlohmann::json::object()),
        fault("no data", {{"action", "noData"}}, [](const CommandKind& k) { return k.length > 0; }),
        byteFault("short data 0", "shortData", [](uint64_t) { return 0; }),
        byteFault("short data 1", "shortData", [](uint64_t) { return 1; }),
        byteFault("short data half", "shortData", [](uint64_t length) { return length / 2; }),
        byteFault("size limit", "sizeLimit", [](uint64_t length) { return length / 2; }),
        // The drive takes an hour: longer than any time-out the host sets.
        {"slow command", [](const CommandKind& k) { return k.nvme && k.firstPiece; },
         [](nlohmann::json& profile, const CommandKind& kind) {
             nlohmann::json slow = {{"opcode", kind.matcher["opcode"]}, {"seconds", 3600}};
             if (kind.matcher.contains("logId")) {
                 slow["logId"] = kind.matcher["logId"];
             }
             profile["nvme"]["slowCommands"].push_back(slow);
         }},
    };
    for (const int changes : {1, 2}) {
        actions.push_back({changes == 1 ? "changes while read once" : "changes while read twice",
                           [](const CommandKind& k) { return k.telemetry && k.firstPiece; },
                           [changes](nlohmann::json& profile, const CommandKind&) {
                               profile["nvme"]["telemetry"]["changesDuringRead"] = changes;
                           }});
    }
    actions.push_back(fault("removal", {{"action", "remove"}}));
    return actions;
}

// Every kind with every action that applies to it, kinds first.
std::vector<MatrixCase> matrixCases(const std::string& profileName, const std::vector<CommandKind>& kinds) {
    const nlohmann::json base = builtInProfile(profileName);
    std::vector<MatrixCase> cases;
    for (const auto& kind : kinds) {
        for (const auto& action : faultActions()) {
            if (action.applies(kind)) {
                nlohmann::json profile = base;
                action.add(profile, kind);
                cases.push_back({kind.name, action.name, profile});
            }
        }
    }
    return cases;
}

// The fixed sample CTest runs: every seventh case of the list (kinds in the order the run sends
// them, each with its actions); as a kind has seven to ten actions, the sample steps through
// the actions while it walks the whole run.
bool inSample(size_t index) { return index % 7 == 0; }


constexpr unsigned timeLimitSeconds = 60;
const char* const timedOutText = "did not end within the time limit";

// Files that describe the run or the host rather than the drive: their text holds the time of
// the run and the machine's state, so they are never compared with the fault-free run.
const std::set<std::string> runFiles = {"incident_report.log", "product.json", "version.txt", "system_info.log",
                                         "manifest.json"};

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
        const std::string& out = faulted.run.out;
        const auto broken = brokenInvariants(faulted, baseline, c.action == "removal");
        ++ran;
        held += broken.empty() ? 1 : 0;
        std::string why;
        for (const auto& line : broken) {
            why += (why.empty() ? "" : "; ") + line;
        }
        EXPECT_TRUE(broken.empty()) << profileName << " | " << c.kind << " | " << c.action << " | " << why
                                    << "\n--- standard output (end):\n"
                                    << out.substr(out.size() - std::min<size_t>(out.size(), 600));
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
