#pragma once
// What "-ssd all" tells the user: a heading as each drive's run starts, a line with its outcome
// as it ends, and at the end a table of every drive (index, serial number, model, result,
// package) with the exit status of the whole run.
#include <cstddef>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "host/DriveList.h"

namespace host {

class EveryDriveReport {
public:
    enum class Outcome { succeeded, failed, stopped, skipped, notRun };

    // destination: the folder the command writes its packages into ("" for the current one).
    EveryDriveReport(std::string destination, std::size_t driveCount);

    // Before a drive's run: its heading, and what the destination holds already.
    void start(std::size_t index, const DriveList::Entry& drive, std::ostream& out);
    // After the run that start() announced: its outcome line, with the package (or, when no
    // package was made, the folder of files) that the run added to the destination.
    void finish(Outcome outcome, const std::string& result, std::ostream& out);
    // A drive that is not run at all (not read by this program, or after a stop).
    void pass(std::size_t index, const DriveList::Entry& drive, Outcome outcome, const std::string& why,
              std::ostream& out);

    void printSummary(std::ostream& out) const;
    // 0 when at least one drive was read and none failed; 1 otherwise.
    int exitStatus() const;

private:
    struct Row {
        std::size_t index = 0;
        std::string serialNumber;
        std::string model;
        Outcome outcome = Outcome::notRun;
        std::string result;
        std::string package;
        std::string folder;
    };

    void addRow(std::size_t index, const DriveList::Entry& drive);
    std::string outcomeLine(const Row& row) const;
    std::set<std::string> destinationEntries() const;
    // The archive and the folder of files that the last run added to the destination.
    void addedOutput(Row& row) const;

    std::string destination_;
    std::size_t driveCount_;
    std::vector<Row> rows_;
    std::set<std::string> before_;
};

}  // namespace host
