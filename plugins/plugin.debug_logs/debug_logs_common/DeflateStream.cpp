#include "plugins/plugin.debug_logs/debug_logs_common/DeflateStream.h"

namespace plugin::cli::debug_logs {

DeflateStream::DeflateStream(int level) : level_(level) {}

DeflateStream::~DeflateStream() {
    if (ready_) {
        deflateEnd(&stream_);
    }
}

bool DeflateStream::compress(const std::vector<unsigned char>& dictionary, const std::vector<unsigned char>& input,
                             bool last, std::vector<unsigned char>& output, std::string& problem) {
    // Made on first use: a stream that stays unused costs nothing.
    const int started = ready_ ? deflateReset(&stream_)
                               : deflateInit2(&stream_, level_, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    ready_ = ready_ || started == Z_OK;
    if (started != Z_OK) {
        problem = "zlib cannot start a deflate stream";
        return false;
    }
    int result = Z_OK;
    if (!dictionary.empty()) {
        result = deflateSetDictionary(&stream_, dictionary.data(), static_cast<uInt>(dictionary.size()));
    }
    stream_.next_in = const_cast<unsigned char*>(input.data());
    stream_.avail_in = static_cast<uInt>(input.size());
    output.resize(deflateBound(&stream_, static_cast<uLong>(input.size())) + 16);
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    std::size_t produced = 0;
    bool complete = false;
    // Z_BUF_ERROR with room left in the output means deflate cannot go on: a stream in a wrong
    // state would otherwise loop here for ever.
    while (!complete && (result == Z_OK || (result == Z_BUF_ERROR && produced == output.size()))) {
        if (produced == output.size()) {
            output.resize(output.size() * 2);
        }
        stream_.next_out = output.data() + produced;
        stream_.avail_out = static_cast<uInt>(output.size() - produced);
        result = deflate(&stream_, flush);
        produced = output.size() - stream_.avail_out;
        // A sync flush is done once deflate leaves room in the output: nothing is pending then.
        complete = last ? result == Z_STREAM_END : result != Z_STREAM_ERROR && stream_.avail_out != 0;
    }
    if (!complete) {
        problem = std::string("zlib failed to deflate: ") + zError(result);
        return false;
    }
    output.resize(produced);
    return true;
}

}  // namespace plugin::cli::debug_logs
