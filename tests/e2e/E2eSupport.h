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
#include <sstream>
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

// Runs build/bin/ssdtool with the arguments in the folder cwd; shellPrefix (such as
// "ulimit -f 8; exec") goes before the command in the same shell. With a time limit, a run
// still going after that many seconds is stopped and gets timedOutStatus.
inline Run ssdtool(const std::vector<std::string>& arguments, const fs::path& cwd,
                   const std::string& shellPrefix = "", unsigned timeLimitSeconds = 0) {
    const fs::path outFile = cwd / ".e2e_stdout";
    const fs::path errFile = cwd / ".e2e_stderr";
    std::string line = "cd " + shellQuote(cwd.string()) + " && " + shellPrefix + " " +
                       (timeLimitSeconds == 0 ? "" : "timeout -k 5 " + std::to_string(timeLimitSeconds) + " ") +
                       shellQuote(std::string(SSDTOOL_BIN_DIR) + "/ssdtool");
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

// Runs the debug-logs command on drive 0, after the host options (the drive first, "--sim").
inline Run debugLogs(std::vector<std::string> arguments, const std::vector<std::string>& commandOptions,
                     const fs::path& cwd) {
    for (const char* word : {"dump", "-debuglogs", "-ssd", "0"}) {
        arguments.push_back(word);
    }
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

inline std::map<std::string, std::string> onlyArchive(const fs::path& folder) {
    const fs::path package = onlyPackage(folder);
    return package.empty() ? std::map<std::string, std::string>{} : readZip(package);
}

// The entries of the archive under one of its sub-folders, keyed by their path from prefix on
// ("log_pages/..."), or by the name within it when strip is set.
inline std::map<std::string, std::string> packedUnder(const fs::path& folder, const std::string& prefix,
                                                      bool strip = false) {
    std::map<std::string, std::string> files;
    for (const auto& [name, bytes] : onlyArchive(folder)) {
        const auto at = name.find(prefix);
        if (at != std::string::npos && name.size() > at + prefix.size()) {
            files[name.substr(strip ? at + prefix.size() : at)] = bytes;
        }
    }
    return files;
}

// What `ssdtool decode` printed for one file of a package: from its heading to the next.
inline std::string section(const std::string& out, const std::string& name) {
    const std::string heading = "== " + name + " ==\n";
    const auto begin = out.find(heading);
    if (begin == std::string::npos) {
        return {};
    }
    const auto end = out.find("\n== ", begin + heading.size());
    return out.substr(begin + heading.size(), end == std::string::npos ? std::string::npos : end - begin - heading.size());
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

// "<folder name of the serial>_MM-DD-YYYY_hh-mm-ss-mmm", as a pattern.
inline std::regex packageName(const std::string& serialInName, const std::string& extension) {
    const std::string escaped =
        std::regex_replace(serialInName, std::regex(R"([\\^$.|?*+()[\]{}])"), R"(\$&)");
    return std::regex(escaped + "_[0-9]{2}-[0-9]{2}-[0-9]{4}_[0-9]{2}-[0-9]{2}-[0-9]{2}-[0-9]{2,3}" + extension);
}

// The files incident_report.log says were saved, one per write, as it names them.
inline std::vector<std::string> savedInReport(const std::string& report) {
    const std::string saved = " was saved successfully";
    std::vector<std::string> names;
    for (const auto& line : lines(report)) {
        if (line.size() > saved.size() && line.compare(line.size() - saved.size(), saved.size(), saved) == 0) {
            names.push_back(line.substr(0, line.size() - saved.size()));
        }
    }
    return names;
}

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace e2e
