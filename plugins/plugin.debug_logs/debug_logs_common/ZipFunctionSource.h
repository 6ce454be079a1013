#pragma once
// A libzip function source served by an object of its own: libzip's commands go to the object's
// handle(data, length, command), and the object is deleted when libzip frees the source. The
// object keeps the error it reports to libzip in a ZipSourceError.
#include <memory>

#include <zip.h>

namespace plugin::cli::debug_logs {

// The last error of a source, which libzip asks for with ZIP_SOURCE_ERROR.
class ZipSourceError {
public:
    ZipSourceError() { zip_error_init(&error_); }
    ~ZipSourceError() { zip_error_fini(&error_); }
    ZipSourceError(const ZipSourceError&) = delete;
    ZipSourceError& operator=(const ZipSourceError&) = delete;

    // Records the error; returns -1, what a failed command answers.
    zip_int64_t fail(int zipError, int systemError) {
        zip_error_set(&error_, zipError, systemError);
        return -1;
    }
    // The answer to ZIP_SOURCE_ERROR.
    zip_int64_t toData(void* data, zip_uint64_t length) { return zip_error_to_data(&error_, data, length); }
    // For ZIP_SOURCE_GET_ARGS, which sets it when the arguments are short.
    zip_error_t* get() { return &error_; }

private:
    zip_error_t error_;
};

template <typename State>
zip_int64_t serveZipSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* served = static_cast<State*>(state);
    if (command == ZIP_SOURCE_FREE) {
        delete served;
        return 0;
    }
    return served->handle(data, length, command);
}

// The source, which owns state from then on; null (error set) when libzip cannot make it.
template <typename State>
zip_source_t* zipFunctionSource(std::unique_ptr<State> state, zip_error_t& error) {
    zip_source_t* source = zip_source_function_create(&serveZipSource<State>, state.get(), &error);
    if (source != nullptr) {
        state.release();  // freed with ZIP_SOURCE_FREE
    }
    return source;
}

}  // namespace plugin::cli::debug_logs
