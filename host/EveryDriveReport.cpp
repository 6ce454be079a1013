#include "host/EveryDriveReport.h"

#include <algorithm>
#include <boost/filesystem/operations.hpp>

#include "host/ExitStatus.h"
#include "host/cli/TextTable.h"

namespace host {

namespace fs = boost::filesystem;

namespace {

const char* outcomeName(EveryDriveReport::Outcome outcome) {
    switch (outcome) {
        case EveryDriveReport::Outcome::succeeded:
            return "succeeded";
        case EveryDriveReport::Outcome::failed:
            return "failed";
        case EveryDriveReport::Outcome::stopped:
            return "stopped";
        case EveryDriveReport::Outcome::skipped:
            return "skipped";
        case EveryDriveReport::Outcome::notRun:
            break;
    }
    return "not run";
}

}  // namespace

EveryDriveReport::EveryDriveReport(std::string destination, std::size_t driveCount)
    : destination_(destination.empty() ? "." : std::move(destination)), driveCount_(driveCount) {}

void EveryDriveReport::addRow(std::size_t index, const DriveList::Entry& drive) {
    Row row;
    row.index = index;
    row.serialNumber = DriveList::serialNumberOf(*drive.device);
    row.model = DriveList::modelOf(*drive.device);
    rows_.push_back(std::move(row));
}

void EveryDriveReport::start(std::size_t index, const DriveList::Entry& drive, std::ostream& out) {
    addRow(index, drive);
    before_ = destinationEntries();
    out << "Drive " << index << " of " << driveCount_ << ": " << drive.path << " (serial " << rows_.back().serialNumber
        << ", model " << rows_.back().model << ")\n";
}

void EveryDriveReport::finish(Outcome outcome, const std::string& result, std::ostream& out) {
    Row& row = rows_.back();
    row.outcome = outcome;
    row.result = result;
    addedOutput(row);
    out << outcomeLine(row) << "\n";
}

void EveryDriveReport::pass(std::size_t index, const DriveList::Entry& drive, Outcome outcome, const std::string& why,
                            std::ostream& out) {
    addRow(index, drive);
    rows_.back().outcome = outcome;
    rows_.back().result = why;
    out << outcomeLine(rows_.back()) << "\n";
}

std::string EveryDriveReport::outcomeLine(const Row& row) const {
    std::string line = "Drive " + std::to_string(row.index) + " of " + std::to_string(driveCount_) + " (serial " +
                       row.serialNumber + "): " + outcomeName(row.outcome);
    if (row.outcome != Outcome::succeeded && row.outcome != Outcome::stopped && !row.result.empty()) {
        line += " (" + row.result + ")";
    }
    if (!row.package.empty()) {
        line += "; package " + row.package;
    } else if (!row.folder.empty()) {
        line += "; no package, files in " + row.folder;
    }
    return line;
}

void EveryDriveReport::printSummary(std::ostream& out) const {
    std::vector<cli::TextTable::Row> table{{"Index", "Serial Number", "Model", "Result", "Package"}};
    std::size_t succeeded = 0;
    for (const Row& row : rows_) {
        std::string result = outcomeName(row.outcome);
        if (row.outcome != Outcome::succeeded && row.outcome != Outcome::stopped && !row.result.empty()) {
            result += ": " + row.result;
        }
        table.push_back({std::to_string(row.index), row.serialNumber, row.model, result,
                         !row.package.empty() ? row.package
                         : row.folder.empty() ? "-"
                                              : "none (files in " + row.folder + ")"});
        succeeded += row.outcome == Outcome::succeeded ? 1 : 0;
    }
    out << "\nSummary: " << succeeded << " of " << rows_.size() << " drives succeeded\n";
    cli::TextTable::print(table, out);
}

int EveryDriveReport::exitStatus() const {
    const bool anyRead =
        std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return row.outcome == Outcome::succeeded; });
    const bool anyFailed = std::any_of(rows_.begin(), rows_.end(), [](const Row& row) {
        return row.outcome != Outcome::succeeded && row.outcome != Outcome::skipped;
    });
    return anyRead && !anyFailed ? ExitStatus::success : ExitStatus::failed;
}

std::set<std::string> EveryDriveReport::destinationEntries() const {
    std::set<std::string> names;
    boost::system::error_code error;
    for (fs::directory_iterator it(destination_, error), end; !error && it != end; it.increment(error)) {
        names.insert(it->path().filename().string());
    }
    return names;
}

void EveryDriveReport::addedOutput(Row& row) const {
    for (const std::string& name : destinationEntries()) {
        if (before_.count(name) != 0) {
            continue;
        }
        boost::system::error_code error;
        const fs::path path = fs::absolute(fs::path(destination_) / name).lexically_normal();
        if (path.extension() == ".zip" && fs::is_regular_file(path, error)) {
            row.package = path.string();
        } else if (fs::is_directory(path, error)) {
            row.folder = path.string();
        }
    }
}

}  // namespace host
