#include "host/redact/RedactedArchive.h"

#include <unistd.h>

#include "host/BoundedFileReader.h"

namespace host {

std::string RedactedArchive::open(const std::string& source, bool sourceIsFolder, const std::string& path) {
    source_ = source;
    sourceIsFolder_ = sourceIsFolder;
    path_ = path;
    int code = 0;
    if (!sourceIsFolder) {
        int fd = -1;
        uint64_t size = 0;
        std::string error = BoundedFileReader::openRegularFile(source, fd, size);
        if (!error.empty()) {
            return error;
        }
        from_ = zip_fdopen(fd, ZIP_RDONLY, &code);
        if (from_ == nullptr) {
            ::close(fd);
            return "not a readable ZIP archive";
        }
    }
    // ZIP_EXCL: an output that exists, even a device or a FIFO, is refused before it is opened.
    to_ = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (to_ == nullptr) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        std::string reason = code == ZIP_ER_EXISTS ? "a file of that name exists already" : zip_error_strerror(&error);
        zip_error_fini(&error);
        return reason;
    }
    return {};
}

RedactedArchive::~RedactedArchive() {
    if (to_ != nullptr) {
        zip_discard(to_);
    }
    if (from_ != nullptr) {
        zip_discard(from_);
    }
}

std::string RedactedArchive::added(zip_source_t* source, const std::string& name, bool deflate) {
    if (source == nullptr) {
        return zip_strerror(to_);
    }
    const zip_int64_t index = zip_file_add(to_, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return zip_strerror(to_);
    }
    if (deflate && zip_set_file_compression(to_, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0) != 0) {
        return zip_strerror(to_);
    }
    return {};
}

std::string RedactedArchive::addText(const std::string& name, std::string text) {
    texts_.push_back(std::move(text));
    return added(zip_source_buffer(to_, texts_.back().data(), texts_.back().size(), 0), name, true);
}

std::string RedactedArchive::addCopy(const std::string& name) {
    if (sourceIsFolder_) {
        return added(zip_source_file(to_, (source_ + "/" + name).c_str(), 0, -1), name, true);
    }
    const zip_int64_t index = zip_name_locate(from_, name.c_str(), 0);
    if (index < 0) {
        return "it is not found again in the package";
    }
    // The compressed bytes as they are: the file is not inflated and deflated again.
    return added(zip_source_zip(to_, from_, static_cast<zip_uint64_t>(index), ZIP_FL_COMPRESSED, 0, -1), name, false);
}

std::string RedactedArchive::close() {
    if (zip_close(to_) != 0) {
        std::string reason = zip_strerror(to_);
        zip_discard(to_);
        to_ = nullptr;
        return reason;
    }
    to_ = nullptr;
    return {};
}

}  // namespace host
