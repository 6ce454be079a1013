#include "drivekit/core/CommandJournal.h"

#include <mutex>

namespace drivekit::core {

namespace {

struct Journal {
    std::mutex mutex;
    bool recording = false;
    std::vector<CommandJournal::Command> pending;
    std::vector<CommandJournal::File> files;
    std::vector<CommandJournal::Change> changes;
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

}  // namespace

void CommandJournal::start() {
    Journal& kept = journal();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    kept.pending.clear();
    kept.files.clear();
    kept.changes.clear();
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
    const std::lock_guard<std::mutex> lock(journal().mutex);
    if (journal().recording) {
        journal().pending.push_back(std::move(command));
    }
}

void CommandJournal::noteFileWritten(const std::string& path) {
    Journal& kept = journal();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    if (kept.recording) {
        kept.files.push_back({path, readersOf(kept.pending)});
        kept.pending.clear();
    }
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

std::vector<CommandJournal::File> CommandJournal::files() {
    const std::lock_guard<std::mutex> lock(journal().mutex);
    return journal().files;
}

std::vector<CommandJournal::Change> CommandJournal::changes() {
    const std::lock_guard<std::mutex> lock(journal().mutex);
    return journal().changes;
}

}  // namespace drivekit::core
