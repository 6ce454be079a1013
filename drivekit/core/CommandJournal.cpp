#include "drivekit/core/CommandJournal.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <mutex>

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>

namespace drivekit::core {

namespace {

struct Journal {
    std::mutex mutex;
    bool recording = false;
    std::vector<CommandJournal::Command> pending;
    // Reads sent inside a FileReadScope, by the file they are for, until it is written.
    std::string readingFor;
    std::map<std::string, std::vector<CommandJournal::Command>> scoped;
    std::vector<CommandJournal::File> files;
    std::vector<CommandJournal::Change> changes;
    std::vector<CommandJournal::VendorRead> vendorReads;
};

Journal& journal() {
    static Journal kept;
    return kept;
}

// The pending commands that read data; settings commands between them (a feature switched
// around a read) are left out.
std::vector<CommandJournal::Command> readersOf(const std::vector<CommandJournal::Command>& pending) {
    std::vector<CommandJournal::Command> readers;
    for (const auto& command : pending) {
        if (!command.key.empty()) {
            readers.push_back(command);
        }
    }
    return readers;
}

// One spelling of a path, whichever way the collector and the writer put it.
std::string normalised(const std::string& path) {
    boost::system::error_code error;
    const boost::filesystem::path absolute = boost::filesystem::absolute(path, error);
    // Without a current folder the path is kept as given: both sides then spell it alike.
    return (error ? boost::filesystem::path(path) : absolute).lexically_normal().generic_string();
}

}  // namespace

void CommandJournal::start() {
    Journal& kept = journal();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    kept.pending.clear();
    kept.readingFor.clear();
    kept.scoped.clear();
    kept.files.clear();
    kept.changes.clear();
    kept.vendorReads.clear();
    kept.recording = true;
}

void CommandJournal::stop() {
    const std::lock_guard<std::mutex> lock(journal().mutex);
    journal().recording = false;
}

bool CommandJournal::recording() {
    const std::lock_guard<std::mutex> lock(journal().mutex);
    return journal().recording;
}

void CommandJournal::noteCommand(Command command) {
    Journal& kept = journal();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    if (!kept.recording) {
        return;
    }
    if (kept.readingFor.empty()) {
        kept.pending.push_back(std::move(command));
    } else {
        kept.scoped[kept.readingFor].push_back(std::move(command));
    }
}

std::string CommandJournal::readFor(const std::string& path) {
    Journal& kept = journal();
    const std::string named = path.empty() ? path : normalised(path);
    const std::lock_guard<std::mutex> lock(kept.mutex);
    std::string previous = std::move(kept.readingFor);
    kept.readingFor = named;
    return previous;
}

void CommandJournal::claimReads(const std::string& path, const std::string& key) {
    Journal& kept = journal();
    const std::string named = normalised(path);
    const std::lock_guard<std::mutex> lock(kept.mutex);
    auto& claimed = kept.scoped[named];
    const auto isOther = [&](const CommandJournal::Command& command) { return command.key != key; };
    const auto others = std::stable_partition(kept.pending.begin(), kept.pending.end(), isOther);
    std::move(others, kept.pending.end(), std::back_inserter(claimed));
    kept.pending.erase(others, kept.pending.end());
}

void CommandJournal::noteFileWritten(const std::string& path) {
    Journal& kept = journal();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    if (!kept.recording) {
        return;
    }
    const auto scoped = kept.scoped.find(normalised(path));
    if (scoped != kept.scoped.end()) {
        kept.files.push_back({path, readersOf(scoped->second)});
        kept.scoped.erase(scoped);
        return;
    }
    kept.files.push_back({path, readersOf(kept.pending)});
    kept.pending.clear();
}

size_t CommandJournal::noteChange(Change change) {
    Journal& kept = journal();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    if (kept.recording) {
        kept.changes.push_back(std::move(change));
    }
    return kept.changes.size() - 1;
}

void CommandJournal::notePutBack(size_t number) {
    Journal& kept = journal();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    if (kept.recording && number < kept.changes.size()) {
        kept.changes[number].putBack = true;
    }
}

void CommandJournal::noteVendorRead(VendorRead read) {
    Journal& kept = journal();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    if (kept.recording) {
        kept.vendorReads.push_back(std::move(read));
    }
}

std::vector<CommandJournal::File> CommandJournal::files() {
    const std::lock_guard<std::mutex> lock(journal().mutex);
    return journal().files;
}

std::vector<CommandJournal::Change> CommandJournal::changes() {
    const std::lock_guard<std::mutex> lock(journal().mutex);
    return journal().changes;
}

std::vector<CommandJournal::VendorRead> CommandJournal::vendorReads() {
    const std::lock_guard<std::mutex> lock(journal().mutex);
    return journal().vendorReads;
}

}  // namespace drivekit::core
