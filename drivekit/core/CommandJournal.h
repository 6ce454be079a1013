#pragma once
// What one package run did with the drive, kept while the run records it: the commands sent
// (their fields, outcome and time), the files written whole with the commands that read
// them, every setting the run changed on the drive with whether it was put back, and the
// answers read over the vendor channel. A file whose reads were sent inside a FileReadScope
// naming it, or that claimed them by what they read, is given those reads; any other file is
// given the data reads sent outside every scope since such a file was last written, so a
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
    // An answer read over the maker's vendor channel: no file holds it, yet what the run read
    // next depended on it.
    struct VendorRead {
        uint32_t code = 0;
        std::string status;
        uint64_t microseconds = 0;
        std::vector<uint8_t> data;
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
    // The reads of `key` sent outside every scope and not yet given to a file are for the file
    // at path, as if they had been sent inside a scope naming it.
    static void claimReads(const std::string& path, const std::string& key);
    // The change's number, for notePutBack; nothing is kept while not recording.
    static size_t noteChange(Change change);
    static void notePutBack(size_t number);
    static void noteVendorRead(VendorRead read);

    static std::vector<File> files();
    static std::vector<Change> changes();
    static std::vector<VendorRead> vendorReads();
};

}  // namespace drivekit::core
