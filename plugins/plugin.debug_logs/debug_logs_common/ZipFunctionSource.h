#pragma once
// A libzip function source served by an object of its own: libzip's commands go to the object's
// handle(data, length, command), and the object is deleted when libzip frees the source.
#include <memory>

#include <zip.h>

namespace plugin::cli::debug_logs {

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
