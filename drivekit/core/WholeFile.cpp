#include "drivekit/core/WholeFile.h"

#include <algorithm>

#include <boost/filesystem/operations.hpp>

namespace drivekit::core {

namespace fs = boost::filesystem;

namespace {

// A device or pipe cannot be renamed over; a folder in the way makes the rename fail instead.
bool isSpecialFile(const std::string& path) {
    boost::system::error_code error;
    const fs::file_status status = fs::status(path, error);
    return !error && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status);
}

}  // namespace

WholeFile::WholeFile(std::string path)
    : path_(std::move(path)), writing_(temporaryPath(path_)), inPlace_(isSpecialFile(path_)) {
    if (inPlace_) {
        writing_ = path_;
    }
}

WholeFile::~WholeFile() { abort(); }

bool WholeFile::fail(const std::string& why) {
    if (failure_.empty()) {
        failure_ = why;
    }
    return false;
}

bool WholeFile::open() {
    file_.close();
    file_.clear();
    failure_.clear();
    written_ = 0;
    committed_ = false;
    file_.open(writing_, std::ios::out | std::ios::binary | std::ios::trunc);
    opened_ = opened_ || file_.is_open();
    return file_.is_open() || fail("cannot open " + writing_);
}

bool WholeFile::append(const uint8_t* bytes, uint64_t count) {
    if (count > 0) {
        file_.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
    }
    written_ += count;
    return static_cast<bool>(file_) || fail("cannot write " + writing_);
}

Status WholeFile::commit() {
    file_.close();
    boost::system::error_code error;
    if (!file_) {
        fail("cannot write " + writing_);
    } else if (!inPlace_ && fs::file_size(writing_, error) != written_) {
        // A disk that takes fewer bytes than it was given without an error on the stream.
        fail(error ? error.message() : writing_ + " holds fewer bytes than were written");
    } else if (!inPlace_ && (fs::rename(writing_, path_, error), error)) {
        fail("cannot rename " + writing_ + " to " + path_ + ": " + error.message());
    } else {
        committed_ = true;
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

}  // namespace drivekit::core
