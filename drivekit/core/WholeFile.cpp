#include "drivekit/core/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include <boost/filesystem/operations.hpp>

#include "drivekit/core/CommandJournal.h"

namespace drivekit::core {

namespace fs = boost::filesystem;

namespace {

// A device or pipe cannot be renamed over; a folder in the way makes the rename fail instead.
bool isSpecialFile(const std::string& path) {
    boost::system::error_code error;
    const fs::file_status status = fs::status(path, error);
    return !error && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status);
}

// The system's reason for the last failed call, taken before anything else can change it.
std::string systemReason() {
    const int code = errno;
    return code != 0 ? std::strerror(code) : std::string();
}

struct FailureRecord {
    std::mutex lock;
    WholeFile::Failure first;
};

FailureRecord& failureRecord() {
    static FailureRecord record;
    return record;
}

}  // namespace

bool WholeFile::noteFailure(const std::string& path, const std::string& reason) {
    FailureRecord& record = failureRecord();
    const std::lock_guard<std::mutex> guard(record.lock);
    if (record.first.path.empty()) {
        record.first = {path, reason};
    }
    return false;
}

WholeFile::Failure WholeFile::firstFailure() {
    FailureRecord& record = failureRecord();
    const std::lock_guard<std::mutex> guard(record.lock);
    return record.first;
}

void WholeFile::forgetFailures() {
    FailureRecord& record = failureRecord();
    const std::lock_guard<std::mutex> guard(record.lock);
    record.first = {};
}

WholeFile::WholeFile(std::string path)
    : path_(std::move(path)), writing_(temporaryPath(path_)), inPlace_(isSpecialFile(path_)) {
    if (inPlace_) {
        writing_ = path_;
    }
}

WholeFile::~WholeFile() { abort(); }

bool WholeFile::fail(const std::string& why) {
    const std::string reason = systemReason();
    if (failure_.empty()) {
        failure_ = reason.empty() ? why : why + ": " + reason;
    }
    return noteFailure(path_, reason.empty() ? why : reason);
}

bool WholeFile::open() {
    file_.close();
    file_.clear();
    failure_.clear();
    written_ = 0;
    committed_ = false;
    errno = 0;
    file_.open(writing_, std::ios::out | std::ios::binary | std::ios::trunc);
    opened_ = opened_ || file_.is_open();
    return file_.is_open() || fail("cannot open " + writing_);
}

bool WholeFile::append(const uint8_t* bytes, uint64_t count) {
    errno = 0;
    if (count > 0) {
        file_.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
    }
    written_ += count;
    return static_cast<bool>(file_) || fail("cannot write " + writing_);
}

Status WholeFile::commit() {
    errno = 0;
    file_.close();
    boost::system::error_code error;
    if (!file_) {
        fail("cannot write " + writing_);
    } else if (!inPlace_ && fs::file_size(writing_, error) != written_) {
        // A disk that takes fewer bytes than it was given without an error on the stream.
        errno = 0;
        fail(error ? error.message() : writing_ + " holds fewer bytes than were written");
    } else if (!inPlace_ && (fs::rename(writing_, path_, error), error)) {
        errno = 0;
        fail("cannot rename " + writing_ + " to " + path_ + ": " + error.message());
    } else {
        committed_ = true;
        CommandJournal::noteFileWritten(path_);
        return Status::success();
    }
    abort();
    return Status::failedToWriteFile();
}

void WholeFile::abort() {
    file_.close();
    if (committed_ || !opened_ || inPlace_) {
        return;
    }
    boost::system::error_code ignored;
    if (fs::is_regular_file(writing_, ignored)) {
        fs::remove(writing_, ignored);
    }
    opened_ = false;
}

Status WholeFile::write(const std::string& path, const uint8_t* bytes, uint64_t count) {
    WholeFile file(path);
    if (!file.open()) {
        return Status::failedToWriteFile();
    }
    // In pieces: one write of a whole large log is many times slower for the system to take in.
    constexpr uint64_t pieceBytes = 4ULL << 20;
    for (uint64_t at = 0; at < count; at += pieceBytes) {
        if (!file.append(bytes + at, std::min(pieceBytes, count - at))) {
            return Status::failedToWriteFile();
        }
    }
    return file.commit();
}

Status WholeFile::appendWhole(const std::string& path, const uint8_t* bytes, uint64_t count) {
    boost::system::error_code error;
    const bool existed = fs::exists(path, error);
    const bool regular = !existed || fs::is_regular_file(path, error);
    const uint64_t before = existed && regular ? fs::file_size(path, error) : 0;
    errno = 0;
    std::ofstream file(path, std::ios::out | std::ios::binary | std::ios::app);
    if (count > 0) {
        file.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
    }
    file.close();
    std::string reason = file ? std::string() : systemReason();
    if (file && (!regular || fs::file_size(path, error) == before + count)) {
        return Status::success();
    }
    if (reason.empty()) {
        reason = path + " holds fewer bytes than were written";
    }
    if (regular) {
        fs::remove(path, error);
    }
    noteFailure(path, reason);
    return Status::failedToWriteFile();
}

}  // namespace drivekit::core
