#pragma once
// Shared pieces of the debug-logs tests: captured console output, a scratch folder, a fixed
// clock, a drive that answers nothing, and collectors whose outcome a test chooses.
#include <algorithm>
#include <boost/filesystem.hpp>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "support/ScratchFolder.h"
#include "support/FakeDrive.h"
#include "support/TextFiles.h"
#include "support/ZipEntries.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/DebugLogsInterface.h"
#include "plugins/plugin.debug_logs/debug_logs_common/LocalClock.h"

namespace debug_logs_test {

namespace fs = boost::filesystem;
namespace dl = plugin::cli::debug_logs;

// Everything written to std::cout while it lives.
class ConsoleCapture {
public:
    ConsoleCapture() : previous_(std::cout.rdbuf(buffer_.rdbuf())) {}
    ~ConsoleCapture() { std::cout.rdbuf(previous_); }
    std::string text() const { return buffer_.str(); }

private:
    std::ostringstream buffer_;
    std::streambuf* previous_;
};

// Sets the verbosity level for one test and puts 0 back afterwards.
class Verbosity {
public:
    explicit Verbosity(int level) { dl::setVerbosityLevel(level); }
    ~Verbosity() { dl::setVerbosityLevel(0); }
};

// Time stands still at the given moment while it lives.
class FixedClock {
public:
    explicit FixedClock(const dl::LocalTime& time) {
        dl::LocalClock::setSource([time] { return time; });
    }
    ~FixedClock() { dl::LocalClock::setSource({}); }
};

// 4 July 2026 at the given time of day.
inline dl::LocalTime at(int hour, int minute, int second = 0, int millisecond = 0) {
    return {2026, 7, 4, hour, minute, second, millisecond};
}

using test_support::folderEntries;
using test_support::ScratchFolder;
using test_support::readFile;
using test_support::readZip;

// A drive that speaks no protocol; only its attributes matter to the package steps.
inline std::shared_ptr<test_support::FakeDrive> silentDevice(const std::string& serialNumber) {
    auto drive = std::make_shared<test_support::FakeDrive>(std::set<std::string>{});
    drive->withSerialNumber(serialNumber);
    return drive;
}

// What a collector's run left: its status, its counts and what it printed.
struct Outcome {
    drivekit::core::Status status;
    uint32_t generated = 0;
    uint32_t failed = 0;
    std::string console;
};

// Runs one step of a collector, noting the outcome.
template <typename Collector, typename Step>
Outcome outcomeOf(Collector& collector, Step step) {
    ConsoleCapture console;
    Outcome outcome;
    step(outcome.status);
    outcome.generated = collector.fileCount;
    outcome.failed = collector.failedCount;
    outcome.console = console.text();
    return outcome;
}

// Writes fileCount files named "<title>_<n>.bin" into its sub-folder and returns the chosen
// status; notes its title in the shared journal when it runs.
class ScriptedCollector : public dl::DebugLogsInterface {
public:
    ScriptedCollector(std::string title, uint32_t files, drivekit::core::Status outcome,
                      std::shared_ptr<std::vector<std::string>> journal)
        : title_(std::move(title)), files_(files), outcome_(std::move(outcome)), journal_(std::move(journal)) {}

    drivekit::core::Status saveReport(drivekit::core::Status& status,
                                      const std::shared_ptr<drivekit::core::Device>& /*device*/,
                                      const std::string& outputPath) override {
        journal_->push_back(title_);
        const fs::path folder = fs::path(outputPath) / "log_pages";
        fs::create_directories(folder);
        for (uint32_t i = 0; i < files_; ++i) {
            std::ofstream((folder / (title_ + "_" + std::to_string(i) + ".bin")).string()) << title_ << i;
        }
        fileCount = files_;
        status = outcome_;
        return status;
    }

private:
    std::string title_;
    uint32_t files_;
    drivekit::core::Status outcome_;
    std::shared_ptr<std::vector<std::string>> journal_;
};

}  // namespace debug_logs_test
