#pragma once
// Runs ssdtool as a user would and reads back what it left behind.
#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "support/ScratchFolder.h"
#include "support/TextFiles.h"
#include "support/ZipEntries.h"

namespace e2e {

namespace fs = boost::filesystem;

struct Run {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

using test_support::folderEntries;
using test_support::lines;
using test_support::readFile;
using test_support::readZip;

// Quotes one argument for /bin/sh.
inline std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// timeout(1)'s exit status when a run's time limit is hit.
constexpr int timedOutStatus = 124;

// Runs program with the arguments in the folder cwd; shellPrefix (such as "ulimit -f 8; exec")
// goes before the command in the same shell. With a time limit, a run still going after that
// many seconds is stopped and gets timedOutStatus.
inline Run runProgram(const fs::path& program, const std::vector<std::string>& arguments, const fs::path& cwd,
                      const std::string& shellPrefix = "", unsigned timeLimitSeconds = 0) {
    const fs::path outFile = cwd / ".e2e_stdout";
    const fs::path errFile = cwd / ".e2e_stderr";
    std::string line = "cd " + shellQuote(cwd.string()) + " && " + shellPrefix + " " +
                       (timeLimitSeconds == 0 ? "" : "timeout -k 5 " + std::to_string(timeLimitSeconds) + " ") +
                       shellQuote(program.string());
    for (const auto& argument : arguments) {
        line += " " + shellQuote(argument);
    }
    line += " >" + shellQuote(outFile.string()) + " 2>" + shellQuote(errFile.string()) + " </dev/null";
    const int raw = std::system(line.c_str());
    Run run;
    run.exitStatus = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.out = readFile(outFile);
    run.err = readFile(errFile);
    fs::remove(outFile);
    fs::remove(errFile);
    return run;
}

// Runs build/bin/ssdtool as runProgram does.
inline Run ssdtool(const std::vector<std::string>& arguments, const fs::path& cwd,
                   const std::string& shellPrefix = "", unsigned timeLimitSeconds = 0) {
    return runProgram(fs::path(SSDTOOL_BIN_DIR) / "ssdtool", arguments, cwd, shellPrefix, timeLimitSeconds);
}

// Runs the debug-logs command on drive 0, after the host options (the drive first, "--sim").
inline Run debugLogs(std::vector<std::string> arguments, const std::vector<std::string>& commandOptions,
                     const fs::path& cwd) {
    arguments.insert(arguments.end(), {"dump", "-debuglogs", "-ssd", "0"});
    arguments.insert(arguments.end(), commandOptions.begin(), commandOptions.end());
    return ssdtool(arguments, cwd);
}

// A fresh empty folder per test for ssdtool to write to, and one for the test's own files
// (traces, logs, profiles); both removed afterwards.
class Workspace : public ::testing::Test {
protected:
    // Empties the folder ssdtool writes to, for the next run of a table.
    void clear() const {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    const test_support::ScratchFolder written_, own_;
    const fs::path dir = written_.path();
    const fs::path scratch = own_.path();
};

// The one archive in folder; an empty path unless it holds exactly one.
inline fs::path onlyPackage(const fs::path& folder) {
    std::vector<fs::path> archives;
    for (const auto& item : fs::directory_iterator(folder)) {
        if (item.path().extension() == ".zip") {
            archives.push_back(item.path());
        }
    }
    return archives.size() == 1 ? archives[0] : fs::path();
}

// The entries of the one archive in folder (none without one) under one of its sub-folders, keyed
// by their path from prefix on ("log_pages/..."), or by the name within it when strip is set.
inline std::map<std::string, std::string> packedUnder(const fs::path& folder, const std::string& prefix,
                                                      bool strip = false) {
    std::map<std::string, std::string> files;
    const fs::path package = onlyPackage(folder);
    for (const auto& [name, bytes] : package.empty() ? files : readZip(package)) {
        const auto at = name.find(prefix);
        if (at != std::string::npos && name.size() > at + prefix.size()) {
            files[name.substr(strip ? at + prefix.size() : at)] = bytes;
        }
    }
    return files;
}

// The names of an archive's entries.
inline std::set<std::string> namesOf(const std::map<std::string, std::string>& entries) {
    std::set<std::string> names;
    for (const auto& entry : entries) {
        names.insert(entry.first);
    }
    return names;
}

// What `ssdtool decode` printed for one file of a package: from its heading to the next.
inline std::string section(const std::string& out, const std::string& name) {
    const std::string heading = "== " + name + " ==\n";
    const auto begin = out.find(heading);
    const std::string rest = begin == std::string::npos ? "" : out.substr(begin + heading.size());
    return rest.substr(0, rest.find("\n== "));
}

// A built-in profile that ssdtool ships beside itself.
inline nlohmann::json builtInProfile(const std::string& name) {
    return nlohmann::json::parse(readFile(fs::path(SSDTOOL_BIN_DIR) / "profiles" / (name + ".json")));
}

// The serial number a built-in drive reports.
inline std::string builtInSerial(const std::string& name = "varnholt-nvme") {
    return builtInProfile(name).at("attributes").at("SerialNumber").get<std::string>();
}

// A copy of a built-in profile with a change, in folder; returns its path.
inline fs::path changedProfile(const fs::path& folder, const std::function<void(nlohmann::json&)>& change,
                               const std::string& base = "varnholt-nvme") {
    auto profile = builtInProfile(base);
    change(profile);
    const fs::path file = folder / ("changed-" + base + ".json");
    std::ofstream(file.string()) << profile.dump(2);
    return file;
}

// "<serial>_MM-DD-YYYY_hh-mm-ss-mmm", as a pattern, for a serial number of letters and digits.
inline std::regex packageName(const std::string& serial, const std::string& extension) {
    return std::regex(serial + "_[0-9]{2}-[0-9]{2}-[0-9]{4}_[0-9]{2}-[0-9]{2}-[0-9]{2}-[0-9]{2,3}" + extension);
}

// The files incident_report.log says were saved, one per write, as it names them.
inline std::vector<std::string> savedInReport(const std::string& report) {
    const std::regex saved("([^\\n]+) was saved successfully(?=\\n|$)");
    std::vector<std::string> names;
    for (std::sregex_iterator line(report.begin(), report.end(), saved), end; line != end; ++line) {
        names.push_back((*line)[1]);
    }
    return names;
}

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace e2e
