#pragma once
// One file of a package, written whole or not at all. The bytes go to "<path>.part" beside
// the target; only a write that was flushed, closed and found complete is renamed to the
// target, replacing what was there. On any failure, and when the object goes away before
// commit, the temporary file is removed and the target is left as it was. A special file given
// as the path (a device such as /dev/null, a pipe) cannot be replaced: it is written in place
// and never removed.
//
// Every failure is also kept process-wide (the first since the last forgetFailures()), so that
// a full or failing disk fails the whole run whatever the writer made of its own result.
#include <cstdint>
#include <fstream>
#include <string>

#include "drivekit/core/Status.h"

namespace drivekit::core {

class WholeFile {
public:
    explicit WholeFile(std::string path);
    ~WholeFile();
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // Starts the file (again) from nothing; false when it cannot be opened.
    bool open();
    // False once any write failed; the file is then only good for abort.
    bool append(const uint8_t* bytes, uint64_t count);
    // Gives the file its name when every byte reached it; "Failed to write to file." (and
    // nothing left behind) otherwise.
    Status commit();
    // Removes what this object wrote; a file of the temporary name it never opened is not its own.
    void abort();
    // Why the last open, append or commit failed; empty when none did.
    const std::string& failure() const { return failure_; }

    // The whole buffer in one call: open, append, commit.
    static Status write(const std::string& path, const uint8_t* bytes, uint64_t count);
    // Adds the buffer to the end of the file (made when missing). A write that fails removes
    // the file: what it held before is only the beginning of a file that is not whole.
    static Status appendWhole(const std::string& path, const uint8_t* bytes, uint64_t count);

    struct Failure {
        std::string path;    // the target, as the writer named it
        std::string reason;  // the system's words ("No space left on device")
    };
    // The first write that failed since forgetFailures(); an empty path when none did.
    static Failure firstFailure();
    static void forgetFailures();
    static std::string temporaryPath(const std::string& path) { return path + ".part"; }

private:
    // Records why, with the system's reason when it gave one.
    bool fail(const std::string& why);
    static bool noteFailure(const std::string& path, const std::string& reason);

    std::string path_;
    std::string writing_;  // the temporary name, or the path itself for a special file
    std::ofstream file_;
    uint64_t written_ = 0;
    bool inPlace_ = false;
    bool opened_ = false;
    bool committed_ = false;
    std::string failure_;
};

}  // namespace drivekit::core
