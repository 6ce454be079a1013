#pragma once
// What one package run did with the drive, kept while the run records it: the commands sent
// (their fields, outcome and time), the files written whole with the commands that read
// them, and every setting the run changed on the drive with whether it was put back. A file
// whose reads were sent inside a FileReadScope naming it is given those reads; any other file
// is given the data reads sent outside every scope since such a file was last written, so a
// collector that reads several structures before writing them, without saying which read is
// for which file, gives the first file all of those reads.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace drivekit::core {

class CommandJournal {
public:
    struct Command {
        std::string protocol;
        std::string name;
        // Named fields in the drive's own terms ("opcode", "lid", "offset"...).
        std::vector<std::pair<std::string, uint64_t>> fields;
        // What the command reads (one log page, one Identify structure); empty for settings.
        std::string key;
        std::string status;
        uint64_t microseconds = 0;
    };
    struct File {
        std::string path;
        std::vector<Command> commands;
    };
    struct Change {
        std::string what;
        std::string before;  // empty when the run did not read it first
        std::string set;
        bool putBack = false;
    };

    // Forgets everything and records from now on, until stop().
    static void start();
    static void stop();
    static bool recording();
    static void noteCommand(Command command);
    static void noteFileWritten(const std::string& path);
    // Commands noted from now on are for the file at path (empty: for no file named); returns
    // the file they were for until now, to be restored when the reads for path end.
    static std::string readFor(const std::string& path);
    // The change's number, for notePutBack; nothing is kept while not recording.
    static size_t noteChange(Change change);
    static void notePutBack(size_t number);

    static std::vector<File> files();
    static std::vector<Change> changes();
};

}  // namespace drivekit::core
